// The walk and the member lookup over arbitrary bytes: no read outside the
// image, no write outside the work buffer, and entries that really lie
// where the walk says.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_walk.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ArchiveWalk walk = BeginArchiveWalk(data, size);
  const EntryLayout& layout = LayoutOf(walk.variant);
  std::size_t expectedOffset = kArchiveHeaderSize;
  std::string firstName;
  ArchiveEntry e;
  while (NextArchiveEntry(walk, e)) {
    Check(e.offset == expectedOffset);
    Check(e.compressedLength >= 0);
    Check(e.dataOffset == e.offset + layout.headerSize);
    Check(e.dataOffset + static_cast<std::size_t>(e.compressedLength) <= size);
    Check(e.name.size() < layout.nameSize);
    Check(std::memchr(e.name.data(), '\0', e.name.size()) == nullptr);
    if (e.index == 0) firstName = std::string(e.name);
    expectedOffset = e.dataOffset + static_cast<std::size_t>(e.compressedLength);
  }
  Check(walk.stop != WalkStop::None);
  Check(walk.next == expectedOffset || walk.stop == WalkStop::NoHeader);
  Check(walk.walked <= walk.count);

  // A small work buffer of its own block, so ASan sees any write past it.
  std::vector<unsigned char> work(kMemberDataOffset + 2048, 0xAA);
  for (const char* name : {firstName.c_str(), "vemo1.bmp"}) {
    std::size_t n = 0;
    MemberStatus s = LoadMemberInto(data, size, name, work.data(), work.size(), &n);
    Check(n <= work.size() - kMemberDataOffset);
    if (s == MemberStatus::NotFound || s == MemberStatus::Empty || s == MemberStatus::TooBig)
      Check(work[kMemberDataOffset] == 0 && work[kMemberDataOffset + 1] == 0);
  }
  return 0;
}
