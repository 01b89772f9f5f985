#include "archive/archive_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/member_digest.h"
#include "archive_samples.h"

TEST(ArchiveWriter, HashedEntryHeaderLayout) {
  char digest[kDigestTextSize];
  MemberDigest("abc", 3, digest);
  unsigned char e[56];
  std::memset(e, 0xEE, sizeof e);
  ASSERT_TRUE(BuildHashedEntryHeader(e, "tavo1.wav", digest, 0x01020304));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e), 2), "CF");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e) + 2, 16), std::string("tavo1.wav") + std::string(7, '\0'));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e) + 18, 34),
            std::string("900150983CD24FB0D6963F7D28E17F72") + std::string(2, '\0'));
  EXPECT_EQ(e[52], 0x04);
  EXPECT_EQ(e[55], 0x01);
}

TEST(ArchiveWriter, PlainEntryHeaderFillsBehindTheNul) {
  unsigned char e[20];
  ASSERT_TRUE(BuildPlainEntryHeader(e, "tvbmp8.tvh", 99, 0xCC));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e), 12), "CFtvbmp8.tvh");
  EXPECT_EQ(e[12], 0);
  EXPECT_EQ(e[13], 0xCC);
  EXPECT_EQ(e[15], 0xCC);
  EXPECT_EQ(ReadLE32(e + 16), 99u);
}

TEST(ArchiveWriter, AcceptsNamesOfOneToTwelveBytes) {
  char digest[kDigestTextSize] = {};
  struct Case {
    std::string name;
    bool ok;
  };
  const Case cases[] = {{"", false},
                        {"a", true},
                        {"abcdefgh.txt", true},   // 12 bytes
                        {"abcdefghi.txt", false},  // 13 bytes
                        {std::string("ab\0c", 4), false},
                        {"\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz", true}};  // GBK, 12 bytes
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unsigned char e[56];
    EXPECT_EQ(IsValidMemberName(c.name), c.ok);
    EXPECT_EQ(BuildHashedEntryHeader(e, c.name, digest, 1), c.ok);
    EXPECT_EQ(BuildPlainEntryHeader(e, c.name, 1), c.ok);
  }
  unsigned char e[56];
  EXPECT_FALSE(BuildHashedEntryHeader(e, "a", digest, -1));
}

TEST(ArchiveWriter, HeaderCountsEntriesAndRefusesToOverflow) {
  unsigned char h[kArchiveHeaderSize];
  InitArchiveHeader(h, '0');
  EXPECT_EQ(std::string(reinterpret_cast<char*>(h), 2), "C0");
  EXPECT_EQ(ReadLE32(h + 2), 10u);
  EXPECT_EQ(ReadLE32(h + 6), 0u);
  ASSERT_TRUE(AddEntryToArchiveHeader(h, 56, 30));
  ASSERT_TRUE(AddEntryToArchiveHeader(h, 56, 0));
  EXPECT_EQ(ReadLE32(h + 2), 10u + 86 + 56);
  EXPECT_EQ(ReadLE32(h + 6), 2u);

  WriteLE32(h + 2, 0x7FFFFFFFu - 100);
  unsigned char before[kArchiveHeaderSize];
  std::memcpy(before, h, sizeof h);
  EXPECT_FALSE(AddEntryToArchiveHeader(h, 56, 45));  // one byte too many
  EXPECT_EQ(std::memcmp(before, h, sizeof h), 0);
  EXPECT_TRUE(AddEntryToArchiveHeader(h, 56, 44));
  EXPECT_EQ(ReadLE32(h + 2), 0x7FFFFFFFu);

  InitArchiveHeader(h, '0');
  WriteLE32(h + 6, 0xFFFFFFFFu);
  EXPECT_FALSE(AddEntryToArchiveHeader(h, 56, 1));
}

TEST(ArchiveWriter, CompressedMembersAreZlibStreamsAtTheDefaultLevel) {
  const std::string text(5000, 'z');
  Bytes out(CompressBound(text.size()));
  std::size_t n = 0;
  ASSERT_TRUE(CompressMember(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                             out.data(), out.size(), &n));
  EXPECT_EQ(out[0], 0x78);
  EXPECT_EQ(out[1], 0x9C);
  EXPECT_LT(n, 100u);
  EXPECT_FALSE(CompressMember(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                              out.data(), n - 1, &n));
}
