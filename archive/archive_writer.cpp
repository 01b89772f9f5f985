#include "archive/archive_writer.h"

#include <cstring>

#include <zlib.h>

bool IsValidMemberName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxMemberNameSize &&
         name.find('\0') == std::string_view::npos;
}

void InitArchiveHeader(unsigned char header[kArchiveHeaderSize], unsigned char variantByte) {
  header[0] = kArchiveSignature;
  header[kArchiveVariantOffset] = variantByte;
  WriteLE32(header + kArchiveTotalLengthOffset, kArchiveHeaderSize);
  WriteLE32(header + kArchiveCountOffset, 0);
}

bool AddEntryToArchiveHeader(unsigned char header[kArchiveHeaderSize], std::size_t entryHeaderSize,
                             std::uint32_t compressedLength) {
  const std::int32_t total = ReadLE32Signed(header + kArchiveTotalLengthOffset);
  const std::uint32_t count = ReadLE32(header + kArchiveCountOffset);
  if (total < 0 || count == 0xFFFFFFFFu) return false;
  const std::uint64_t grown = static_cast<std::uint64_t>(total) + entryHeaderSize + compressedLength;
  if (grown > 0x7FFFFFFFu) return false;
  WriteLE32(header + kArchiveTotalLengthOffset, static_cast<std::uint32_t>(grown));
  WriteLE32(header + kArchiveCountOffset, count + 1);
  return true;
}

namespace {

bool StartEntryHeader(unsigned char* out, const EntryLayout& layout, std::string_view name,
                      std::int32_t compressedLength, unsigned char fill) {
  std::memset(out, 0, layout.headerSize);
  out[0] = kEntrySignature0;
  out[1] = kEntrySignature1;
  if (!IsValidMemberName(name) || compressedLength < 0) return false;
  unsigned char* field = out + kEntryNameOffset;
  std::memcpy(field, name.data(), name.size());
  std::memset(field + name.size() + 1, fill, layout.nameSize - name.size() - 1);
  WriteLE32(out + layout.lengthOffset, static_cast<std::uint32_t>(compressedLength));
  return true;
}

}  // namespace

bool BuildHashedEntryHeader(unsigned char out[56], std::string_view name,
                            const char digest[kDigestTextSize], std::int32_t compressedLength) {
  if (!StartEntryHeader(out, kHashedLayout, name, compressedLength, 0)) return false;
  std::memcpy(out + kHashedLayout.digestOffset, digest, kDigestTextSize);
  return true;
}

bool BuildPlainEntryHeader(unsigned char out[20], std::string_view name,
                           std::int32_t compressedLength, unsigned char fill) {
  return StartEntryHeader(out, kPlainLayout, name, compressedLength, fill);
}

bool CompressMember(const unsigned char* src, std::size_t size, unsigned char* dest,
                    std::size_t capacity, std::size_t* compressedSize) {
  *compressedSize = 0;
  const uLong maxLong = static_cast<uLong>(-1);
  if (size > maxLong) return false;
  uLongf destLen = capacity > maxLong ? maxLong : static_cast<uLong>(capacity);
  static const unsigned char kNothing = 0;
  if (compress(dest, &destLen, src ? src : &kNothing, static_cast<uLong>(size)) != Z_OK)
    return false;
  *compressedSize = destLen;
  return true;
}

std::size_t CompressBound(std::size_t size) {
  return static_cast<std::size_t>(compressBound(static_cast<uLong>(size)));
}
