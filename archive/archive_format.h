// The archive container: a 10-byte archive header followed directly by the
// entries, each an entry header and one zlib stream. Readers, the writer,
// the host tool and the fuzzers all take the layout from here.
#pragma once

#include <cstddef>
#include <cstdint>

// Archive header.
constexpr std::size_t kArchiveHeaderSize = 10;
constexpr std::size_t kArchiveVariantOffset = 1;
constexpr std::size_t kArchiveTotalLengthOffset = 2;  // signed 32-bit
constexpr std::size_t kArchiveCountOffset = 6;        // read as unsigned
constexpr unsigned char kArchiveSignature = 'C';
constexpr unsigned char kHashedVariantByte = '0';  // anything else is plain

// Entry headers.
constexpr unsigned char kEntrySignature0 = 'C';
constexpr unsigned char kEntrySignature1 = 'F';
constexpr std::size_t kEntryNameOffset = 2;
constexpr std::size_t kMaxMemberNameSize = 12;  // bytes, without the NUL

// The digest text: 32 upper-case hex digits and two NULs.
constexpr std::size_t kDigestHexSize = 32;
constexpr std::size_t kDigestTextSize = 34;

enum class ArchiveVariant { Hashed, Plain };

struct EntryLayout {
  std::size_t headerSize;    // the data start right behind it
  std::size_t nameSize;      // the name field, NUL included
  std::size_t digestOffset;  // 0: the variant has no digest
  std::size_t lengthOffset;  // signed 32-bit compressed length
};

constexpr EntryLayout kHashedLayout{56, 16, 18, 52};
constexpr EntryLayout kPlainLayout{20, 14, 0, 16};

constexpr const EntryLayout& LayoutOf(ArchiveVariant v) {
  return v == ArchiveVariant::Hashed ? kHashedLayout : kPlainLayout;
}

constexpr ArchiveVariant VariantOf(unsigned char variantByte) {
  return variantByte == kHashedVariantByte ? ArchiveVariant::Hashed : ArchiveVariant::Plain;
}

static_assert(kHashedLayout.digestOffset + kDigestTextSize == kHashedLayout.lengthOffset);
static_assert(kHashedLayout.lengthOffset + 4 == kHashedLayout.headerSize);
static_assert(kPlainLayout.lengthOffset + 4 == kPlainLayout.headerSize);
static_assert(kEntryNameOffset + kHashedLayout.nameSize == kHashedLayout.digestOffset);
static_assert(kMaxMemberNameSize < kPlainLayout.nameSize);

// Where the setup program expands members: its 2 MiB work buffer. The
// payload and the backup are expanded from offset 100 of a scratch area at
// offset 0, skin archives from a scratch area at 0x20000; each needs 44
// bytes behind the data for the digest text. A member that expands to more
// than this room cannot be installed.
constexpr std::size_t kWorkBufferBytes = 0x200000;
constexpr std::size_t kMemberDataOffset = 100;
constexpr std::size_t kArchiveFileReadLimit = 0x20000;  // skin archive files
constexpr std::size_t kHashedExpandRoom = kWorkBufferBytes - kMemberDataOffset - 10 - kDigestTextSize;
constexpr std::size_t kPlainExpandRoom = kHashedExpandRoom - kArchiveFileReadLimit;

inline std::uint32_t ReadLE32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::int32_t ReadLE32Signed(const unsigned char* p) {
  std::uint32_t u = ReadLE32(p);
  // Two's complement without relying on implementation-defined conversion.
  return u <= 0x7FFFFFFFu ? static_cast<std::int32_t>(u)
                          : -static_cast<std::int32_t>(~u) - 1;
}

inline void WriteLE32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}
