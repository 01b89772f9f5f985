#include "archive/archive_walk.h"

#include <cstring>

#include <zlib.h>

const char* DescribeWalkStop(WalkStop stop) {
  switch (stop) {
    case WalkStop::None: return "still walking";
    case WalkStop::Done: return "all entries walked";
    case WalkStop::NoHeader: return "shorter than the 10-byte archive header";
    case WalkStop::NoSignature: return "entry does not begin with \"CF\"";
    case WalkStop::Truncated: return "entry reaches past the end of the archive";
    case WalkStop::BadLength: return "negative compressed length";
    case WalkStop::BadName: return "name field without its NUL";
  }
  return "unknown";
}

const char* DescribeMemberStatus(MemberStatus status) {
  switch (status) {
    case MemberStatus::Expanded: return "expanded";
    case MemberStatus::NotFound: return "no such member";
    case MemberStatus::Empty: return "compressed length 0";
    case MemberStatus::TooBig: return "expands past the room it has";
    case MemberStatus::Corrupt: return "not a valid zlib stream";
  }
  return "unknown";
}

ArchiveWalk BeginArchiveWalk(const unsigned char* image, std::size_t size) {
  ArchiveWalk walk;
  walk.image = image;
  walk.size = image ? size : 0;
  if (walk.size < kArchiveHeaderSize) {
    walk.stop = WalkStop::NoHeader;
    return walk;
  }
  walk.variant = VariantOf(image[kArchiveVariantOffset]);
  walk.totalLength = ReadLE32Signed(image + kArchiveTotalLengthOffset);
  walk.count = ReadLE32(image + kArchiveCountOffset);
  walk.next = kArchiveHeaderSize;
  if (walk.count == 0) walk.stop = WalkStop::Done;
  return walk;
}

bool NextArchiveEntry(ArchiveWalk& walk, ArchiveEntry& entry) {
  if (walk.stop != WalkStop::None) return false;
  if (walk.walked >= walk.count) {
    walk.stop = WalkStop::Done;
    return false;
  }
  const EntryLayout& layout = LayoutOf(walk.variant);
  const std::size_t at = walk.next;
  const std::size_t left = walk.size - at;  // next never passes size
  if (left < 2) {
    walk.stop = WalkStop::Truncated;
    return false;
  }
  const unsigned char* head = walk.image + at;
  if (head[0] != kEntrySignature0 || head[1] != kEntrySignature1) {
    walk.stop = WalkStop::NoSignature;
    return false;
  }
  if (left < layout.headerSize) {
    walk.stop = WalkStop::Truncated;
    return false;
  }
  const char* nameField = reinterpret_cast<const char*>(head + kEntryNameOffset);
  const void* nul = std::memchr(nameField, '\0', layout.nameSize);
  if (!nul) {
    walk.stop = WalkStop::BadName;
    return false;
  }
  const std::int32_t length = ReadLE32Signed(head + layout.lengthOffset);
  if (length < 0) {
    walk.stop = WalkStop::BadLength;
    return false;
  }
  if (static_cast<std::uint32_t>(length) > left - layout.headerSize) {
    walk.stop = WalkStop::Truncated;
    return false;
  }

  entry.index = walk.walked;
  entry.offset = at;
  entry.name = std::string_view(nameField, static_cast<const char*>(nul) - nameField);
  entry.digest = layout.digestOffset ? reinterpret_cast<const char*>(head + layout.digestOffset)
                                     : nullptr;
  entry.compressedLength = length;
  entry.dataOffset = at + layout.headerSize;
  entry.data = walk.image + entry.dataOffset;

  walk.next = entry.dataOffset + static_cast<std::uint32_t>(length);
  ++walk.walked;
  return true;
}

bool FindArchiveMember(const unsigned char* image, std::size_t size, std::string_view name,
                       ArchiveEntry& found) {
  ArchiveWalk walk = BeginArchiveWalk(image, size);
  ArchiveEntry entry;
  while (NextArchiveEntry(walk, entry)) {
    if (entry.name == name) {
      found = entry;
      return true;
    }
  }
  return false;
}

MemberStatus ExpandArchiveMember(const ArchiveEntry& entry, unsigned char* dest,
                                 std::size_t capacity, std::size_t* expanded) {
  if (expanded) *expanded = 0;
  if (entry.compressedLength <= 0) return MemberStatus::Empty;
  // zlib counts in uLong, which is 32 bits on Windows; a smaller capacity
  // than the caller has is always safe.
  uLongf destLen = capacity > static_cast<uLong>(-1) ? static_cast<uLong>(-1)
                                                     : static_cast<uLong>(capacity);
  if (!dest) destLen = 0;
  unsigned char spare = 0;  // zlib wants a pointer even for no room
  int rc = uncompress(dest ? dest : &spare, &destLen, entry.data,
                      static_cast<uLong>(entry.compressedLength));
  if (rc == Z_OK) {
    if (expanded) *expanded = destLen;
    return MemberStatus::Expanded;
  }
  return rc == Z_BUF_ERROR ? MemberStatus::TooBig : MemberStatus::Corrupt;
}

MemberStatus LoadMemberInto(const unsigned char* image, std::size_t imageSize, const char* name,
                            unsigned char* work, std::size_t workSize, std::size_t* expanded) {
  if (expanded) *expanded = 0;
  if (!work || workSize < kMemberDataOffset + 2) return MemberStatus::TooBig;
  work[kMemberDataOffset] = 0;
  work[kMemberDataOffset + 1] = 0;
  ArchiveEntry entry;
  if (!name || !FindArchiveMember(image, imageSize, name, entry)) return MemberStatus::NotFound;
  MemberStatus status = ExpandArchiveMember(entry, work + kMemberDataOffset,
                                            workSize - kMemberDataOffset, expanded);
  if (status == MemberStatus::TooBig) {
    // The part that fitted is no member; do not let it pass for one.
    work[kMemberDataOffset] = 0;
    work[kMemberDataOffset + 1] = 0;
  }
  return status;
}
