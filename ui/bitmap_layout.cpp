#include "ui/bitmap_layout.h"

#include <cstdint>
#include <cstring>

#include "archive/archive_format.h"

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint64_t kInfoHeaderSize = 40;
constexpr std::uint64_t kMaskBytes = 12;
constexpr std::uint32_t kMaxColours = 256;
constexpr std::int64_t kMaxSide = 0xFFFF;

std::uint16_t U16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool KnownDepth(std::uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool ReadBitmapLayout(const unsigned char* file, std::size_t size, BitmapLayout* out) {
  // All arithmetic on sizes is done in 64 bits, so no stored value can wrap
  // a check around.
  const std::uint64_t total = size;
  if (!file || !out || total < kFileHeaderSize + 4) return false;
  if (file[0] != 'B' || file[1] != 'M') return false;

  const std::uint64_t bitsOffset = ReadLE32(file + 10);
  const unsigned char* info = file + kFileHeaderSize;
  const std::uint64_t headerSize = ReadLE32(info);
  if (headerSize < kInfoHeaderSize || kFileHeaderSize + headerSize > total) return false;

  const std::int64_t width = static_cast<std::int32_t>(ReadLE32(info + 4));
  const std::int64_t height = static_cast<std::int32_t>(ReadLE32(info + 8));
  const std::uint16_t depth = U16(info + 14);
  const std::uint32_t compression = ReadLE32(info + 16);
  const std::uint32_t coloursUsed = ReadLE32(info + 32);
  if (width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return false;
  if (!KnownDepth(depth)) return false;
  const bool bitFields = compression == BI_BITFIELDS;
  if (compression != BI_RGB && !(bitFields && (depth == 16 || depth == 32))) return false;
  if (coloursUsed > kMaxColours) return false;

  // Masks follow a 40-byte header and sit inside the longer ones, at the
  // same place either way.
  std::uint64_t tableStart = kFileHeaderSize + headerSize;
  if (bitFields && headerSize == kInfoHeaderSize) tableStart += kMaskBytes;
  if (bitFields && kFileHeaderSize + kInfoHeaderSize + kMaskBytes > total) return false;
  const std::uint32_t colours = coloursUsed ? coloursUsed : (depth <= 8 ? 1u << depth : 0u);
  if (tableStart + std::uint64_t{colours} * sizeof(RGBQUAD) > total) return false;

  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
  const std::uint64_t bitsSize = stride * rows;
  if (bitsOffset > total || bitsSize > total - bitsOffset) return false;

  *out = BitmapLayout{};
  std::memcpy(&out->info.header, info, kInfoHeaderSize);
  out->info.header.biSize = static_cast<DWORD>(kInfoHeaderSize);
  out->info.header.biSizeImage = static_cast<DWORD>(bitsSize);
  // Bit-field bitmaps carry their masks where a colour table would be.
  out->info.header.biClrUsed = bitFields ? 0 : colours;
  if (bitFields) {
    std::memcpy(out->info.colours, file + kFileHeaderSize + kInfoHeaderSize, kMaskBytes);
  } else if (colours) {
    std::memcpy(out->info.colours, file + tableStart, colours * sizeof(RGBQUAD));
  }
  out->bits = file + bitsOffset;
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(rows);
  return true;
}
