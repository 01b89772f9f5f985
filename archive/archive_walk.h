// Walking an archive image in place, and finding and expanding one member.
// The image is untrusted: nothing here reads outside [image, image + size)
// or writes outside the destination it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "archive/archive_format.h"

// Why a walk ended.
enum class WalkStop {
  None,         // still walking
  Done,         // as many entries as the member count says
  NoHeader,     // the image is shorter than the archive header
  NoSignature,  // an entry does not begin with "CF"
  Truncated,    // an entry header or its data would reach past the image
  BadLength,    // a negative compressed length
  BadName,      // a name field without its NUL
};

const char* DescribeWalkStop(WalkStop stop);

// Done is the only good end; every other stop means the count promised
// entries the image does not hold.
inline bool WalkComplete(WalkStop stop) { return stop == WalkStop::Done; }

struct ArchiveEntry {
  std::uint32_t index = 0;
  std::size_t offset = 0;          // of the entry header in the image
  std::string_view name;           // the bytes before the NUL
  const char* digest = nullptr;    // the 34-byte field; null in plain archives
  std::int32_t compressedLength = 0;
  std::size_t dataOffset = 0;
  const unsigned char* data = nullptr;
};

struct ArchiveWalk {
  const unsigned char* image = nullptr;
  std::size_t size = 0;
  ArchiveVariant variant = ArchiveVariant::Plain;
  std::uint32_t count = 0;    // what the header promises
  std::int32_t totalLength = 0;
  std::uint32_t walked = 0;   // entries handed out so far
  std::size_t next = 0;       // where the next entry would begin
  WalkStop stop = WalkStop::None;
};

ArchiveWalk BeginArchiveWalk(const unsigned char* image, std::size_t size);

// Hands out the next entry, or returns false and leaves the reason in
// walk.stop. walk.next is then the end of the last good entry.
bool NextArchiveEntry(ArchiveWalk& walk, ArchiveEntry& entry);

// The first entry called `name` (bytes, case-sensitive). False when there
// is none before the walk ends.
bool FindArchiveMember(const unsigned char* image, std::size_t size, std::string_view name,
                       ArchiveEntry& found);

enum class MemberStatus {
  Expanded,  // the stream expanded whole
  NotFound,  // no entry of that name
  Empty,     // compressed length 0: nothing to expand
  TooBig,    // the member does not fit the destination
  Corrupt,   // not a valid zlib stream
};

const char* DescribeMemberStatus(MemberStatus status);

// Expands the entry's stream into dest, never writing past dest + capacity.
// *expanded receives the number of bytes written (0 unless Expanded).
MemberStatus ExpandArchiveMember(const ArchiveEntry& entry, unsigned char* dest,
                                 std::size_t capacity, std::size_t* expanded);

// The setup program's member lookup over a given image and work buffer:
// bytes 100 and 101 of the work buffer are cleared, then the first member
// called `name` is expanded from offset 100 on, within the buffer. A member
// that does not fit leaves bytes 100 and 101 zero, as a missing one does; a
// corrupt stream leaves whatever zlib wrote, for the caller to judge by its
// first bytes.
MemberStatus LoadMemberInto(const unsigned char* image, std::size_t imageSize, const char* name,
                            unsigned char* work, std::size_t workSize,
                            std::size_t* expanded = nullptr);
