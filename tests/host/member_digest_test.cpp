#include "archive/member_digest.h"

#include <gtest/gtest.h>

#include <string>

// RFC 1321's own test suite, in the digest text's upper case.
TEST(MemberDigest, MatchesTheMd5TestSuiteInUpperCase) {
  struct Case {
    std::string data;
    const char* digest;
  };
  const Case cases[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {std::string(8, '\0'), "7DEA362B3FAC8E00956A4952A3D4F474"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    char out[kDigestTextSize + 1];
    out[kDigestTextSize] = '#';
    MemberDigest(c.data.data(), static_cast<std::uint32_t>(c.data.size()), out);
    EXPECT_EQ(std::string(out, kDigestHexSize), c.digest);
    EXPECT_EQ(out[32], '\0');
    EXPECT_EQ(out[33], '\0');
    EXPECT_EQ(out[34], '#');  // exactly 34 bytes written
  }
}

TEST(MemberDigest, WritesHighHalfFirstWithCapitalDigits) {
  const unsigned char md5[16] = {0x00, 0x0F, 0xF0, 0xA9, 0x5B, 0xFF, 0x10, 0x01,
                                 0xC3, 0x3C, 0xDE, 0xED, 0x7A, 0xA7, 0x99, 0x80};
  char out[kDigestTextSize];
  FormatDigestText(md5, out);
  EXPECT_STREQ(out, "000FF0A95BFF1001C33CDEED7AA79980");
}

TEST(MemberDigest, ComparesWithinTheField) {
  // Stored fields are not trusted to carry their NUL.
  char a[kDigestTextSize];
  char b[kDigestTextSize];
  std::fill(a, a + kDigestTextSize, 'A');
  std::fill(b, b + kDigestTextSize, 'A');
  EXPECT_TRUE(DigestTextsEqual(a, b));
  b[33] = 'B';
  EXPECT_FALSE(DigestTextsEqual(a, b));
}
