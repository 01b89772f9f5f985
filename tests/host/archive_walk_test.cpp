#include "archive/archive_walk.h"

#include <gtest/gtest.h>

#include "archive_samples.h"

namespace {

struct Walked {
  std::vector<ArchiveEntry> entries;
  WalkStop stop = WalkStop::None;
  std::size_t end = 0;
};

Walked WalkAll(const Bytes& image) {
  Walked w;
  ArchiveWalk walk = BeginArchiveWalk(image.data(), image.size());
  ArchiveEntry e;
  while (NextArchiveEntry(walk, e)) w.entries.push_back(e);
  w.stop = walk.stop;
  w.end = walk.next;
  return w;
}

const std::vector<SampleMember> kTwo = {{"first.txt", std::string(300, 'a')},
                                        {"second.bin", "\x01\x02\x03"}};

}  // namespace

TEST(ArchiveWalk, EntriesFollowEachOtherAndEndAtTheTotalLength) {
  struct Case {
    unsigned char variantByte;
    std::size_t headerSize;
  };
  for (Case c : {Case{'0', 56}, Case{'K', 20}}) {
    SCOPED_TRACE(c.variantByte);
    Bytes image = BuildSampleArchive(kTwo, c.variantByte);
    Walked w = WalkAll(image);
    ASSERT_EQ(w.stop, WalkStop::Done);
    ASSERT_EQ(w.entries.size(), 2u);
    EXPECT_EQ(w.entries[0].offset, 10u);
    EXPECT_EQ(w.entries[0].dataOffset, 10 + c.headerSize);
    EXPECT_EQ(w.entries[1].offset,
              10 + c.headerSize + static_cast<std::size_t>(w.entries[0].compressedLength));
    EXPECT_EQ(w.entries[1].name, "second.bin");
    EXPECT_EQ(w.entries[0].digest != nullptr, c.variantByte == '0');
    EXPECT_EQ(w.end, image.size());
    EXPECT_EQ(GetLE32(image, kArchiveTotalLengthOffset), image.size());
  }
}

TEST(ArchiveWalk, CountZeroYieldsNothingWhateverFollows) {
  Bytes image = BuildSampleArchive(kTwo);
  PutLE32(image, kArchiveCountOffset, 0);
  Walked w = WalkAll(image);
  EXPECT_TRUE(w.entries.empty());
  EXPECT_EQ(w.stop, WalkStop::Done);
}

TEST(ArchiveWalk, StopsAtTheFirstEntryWithoutItsSignature) {
  Bytes image = BuildSampleArchive(kTwo);
  PutLE32(image, kArchiveCountOffset, 3);
  const Bytes filler = {'C', 'G', 0, 0, 0, 0};  // "CG": not an entry
  image.insert(image.end(), filler.begin(), filler.end());
  Walked w = WalkAll(image);
  EXPECT_EQ(w.entries.size(), 2u);
  EXPECT_EQ(w.stop, WalkStop::NoSignature);
  EXPECT_EQ(w.end, image.size() - filler.size());
}

// Each case spoils a good two-member archive the way a damaged or hostile
// file would; the walk must hand out only the entries before the damage.
TEST(ArchiveWalk, UntrustedHeadersEndTheWalkWithoutReadingPastTheImage) {
  const Bytes good = BuildSampleArchive(kTwo);
  const std::size_t second = 10 + 56 + GetLE32(good, 10 + 52);
  struct Case {
    const char* what;
    void (*spoil)(Bytes&, std::size_t second);
    std::size_t walked;
    WalkStop stop;
  };
  const Case cases[] = {
      {"count 2^32-1, image ends after the last entry",
       [](Bytes& b, std::size_t) { PutLE32(b, 6, 0xFFFFFFFFu); }, 2, WalkStop::Truncated},
      {"count 2^32-1, zero bytes behind the archive",
       [](Bytes& b, std::size_t) {
         PutLE32(b, 6, 0xFFFFFFFFu);
         b.insert(b.end(), 4, 0);
       },
       2, WalkStop::NoSignature},
      {"count 2^32-1, one byte 'C' behind the archive",
       [](Bytes& b, std::size_t) {
         PutLE32(b, 6, 0xFFFFFFFFu);
         b.push_back('C');
       },
       2, WalkStop::Truncated},
      {"compressed length -1", [](Bytes& b, std::size_t) { PutLE32(b, 10 + 52, 0xFFFFFFFFu); }, 0,
       WalkStop::BadLength},
      {"compressed length INT32_MIN",
       [](Bytes& b, std::size_t) { PutLE32(b, 10 + 52, 0x80000000u); }, 0, WalkStop::BadLength},
      {"compressed length INT32_MAX",
       [](Bytes& b, std::size_t) { PutLE32(b, 10 + 52, 0x7FFFFFFFu); }, 0, WalkStop::Truncated},
      {"last data one byte past the end",
       [](Bytes& b, std::size_t s) { PutLE32(b, s + 52, GetLE32(b, s + 52) + 1); }, 1,
       WalkStop::Truncated},
      {"image cut inside the second entry header",
       [](Bytes& b, std::size_t s) { b.resize(s + 30); }, 1, WalkStop::Truncated},
      {"image cut inside the second entry's data",
       [](Bytes& b, std::size_t s) { b.resize(s + 57); }, 1, WalkStop::Truncated},
      {"name field without its NUL",
       [](Bytes& b, std::size_t) { std::fill(b.begin() + 12, b.begin() + 28, 'n'); }, 0,
       WalkStop::BadName},
      {"image shorter than the archive header", [](Bytes& b, std::size_t) { b.resize(9); }, 0,
       WalkStop::NoHeader},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes image = good;
    c.spoil(image, second);
    image.shrink_to_fit();
    Walked w = WalkAll(image);
    EXPECT_EQ(w.entries.size(), c.walked);
    EXPECT_EQ(w.stop, c.stop);
    EXPECT_LE(w.end, image.size());
    for (const ArchiveEntry& e : w.entries)
      EXPECT_LE(e.dataOffset + static_cast<std::size_t>(e.compressedLength), image.size());
  }
}

TEST(ArchiveWalk, NoImageAtAllIsNoHeader) {
  ArchiveWalk walk = BeginArchiveWalk(nullptr, 100);
  ArchiveEntry e;
  EXPECT_FALSE(NextArchiveEntry(walk, e));
  EXPECT_EQ(walk.stop, WalkStop::NoHeader);
}

TEST(ArchiveWalk, FillBytesBehindPlainNamesAreIgnored) {
  Bytes zeros = BuildSampleArchive(kTwo, 'S', 0x00);
  Bytes cc = BuildSampleArchive(kTwo, 'S', 0xCC);
  ASSERT_NE(zeros, cc);
  EXPECT_EQ(cc[10 + 2 + 9], 0);  // "first.txt" then its NUL,
  EXPECT_EQ(cc[10 + 2 + 10], 0xCC);  // then the fill
  Walked a = WalkAll(zeros);
  Walked b = WalkAll(cc);
  ASSERT_EQ(a.entries.size(), b.entries.size());
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    EXPECT_EQ(a.entries[i].name, b.entries[i].name);
    EXPECT_EQ(a.entries[i].offset, b.entries[i].offset);
    EXPECT_EQ(a.entries[i].compressedLength, b.entries[i].compressedLength);
  }
  EXPECT_EQ(b.stop, WalkStop::Done);
}
