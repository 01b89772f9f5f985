#include "location/settings_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(SiteAddressText, TwoAddressLinesThenTheConstants) {
  EXPECT_EQ(BuildSiteAddressText("", ""),
            "TVNETURL1=\r\nTVNETURL2=\r\nTVNETTIME=1\r\nTVBJTIME=7\r\nTVWYTIME=3\r\nTVSJOFF=0\r\n"
            "TVNETTIME0=0\r\nTVBJTIME0=0\r\nTVNEONE=1\r\n");
  std::string t = BuildSiteAddressText("www.a.cn", "www.b.gov.cn");
  EXPECT_EQ(t.substr(0, 46), "TVNETURL1=www.a.cn\r\nTVNETURL2=www.b.gov.cn\r\nTV");
}

TEST(FindKeyValue, ReadsUpToTheFirstBlankOrControlByte) {
  struct Case {
    std::string block, key, expected;
  } cases[] = {
      {"TVNETURL1=www.a.cn # comment\r\n", "TVNETURL1=", "www.a.cn"},
      {"TVNETURL1=\r\nTVNETURL2=x\r\n", "TVNETURL1=", ""},
      {"tvneturl1=www.a.cn\r\n", "TVNETURL1=", ""},                  // case-sensitive
      {"xxTVNETURL2=\xD5\xFE\xB8\xAE.cn\r\n", "TVNETURL2=", "\xD5\xFE\xB8\xAE.cn"},  // GBK bytes belong to it
      {"TVNETURL1=a\r\nTVNETURL1=b\r\n", "TVNETURL1=", "a"},        // first occurrence
      {"TVNETURL1=abc", "TVNETURL1=", "abc"},                       // ends with the block
      {"TVNETURL", "TVNETURL1=", ""},                               // key longer than the block
  };
  for (const Case& c : cases) {
    char out[100] = "junk";
    FindKeyValue(c.block.data(), c.block.size(), c.key, out, sizeof out);
    EXPECT_EQ(std::string(out), c.expected) << c.block;
  }
}

TEST(FindKeyValue, CutsLongValuesToTheField) {
  std::string block = "K=" + std::string(300, 'v') + "\r\n";
  char out[100];
  FindKeyValue(block.data(), block.size(), "K=", out, sizeof out);
  EXPECT_EQ(std::string(out), std::string(99, 'v'));
  char wide[400];
  FindKeyValue(block.data(), block.size(), "K=", wide, sizeof wide);
  EXPECT_EQ(std::string(wide), std::string(250, 'v')) << "at most 250 bytes are taken";
}

TEST(StatusRecord, ModeCodePageAndEdition) {
  struct Case {
    int mode;
    std::uint8_t byte0, byte21;
  } cases[] = {{1, 0, 0}, {2, 1, 0}, {3, 4, 1}, {4, 3, 1}, {0, 0, 0}, {9, 0, 0}};
  for (const Case& c : cases) {
    std::uint8_t r[kStatusRecordSize];
    DefaultStatusRecord(r);
    r[15] = 7;
    r[62] = r[63] = 5;
    ApplyStatusWindowSettings(r, c.mode, false, 0);
    EXPECT_EQ(r[0], c.byte0) << c.mode;
    EXPECT_EQ(r[21], c.byte21) << c.mode;
    EXPECT_EQ(r[1], 1);
    EXPECT_EQ(r[62], 0);
    EXPECT_EQ(r[63], 0);
    EXPECT_EQ(r[15], 7) << "kept on code page 936";
    EXPECT_EQ(r[8], 54) << "built-in value untouched";
  }

  std::uint8_t big5[kStatusRecordSize] = {};
  ApplyStatusWindowSettings(big5, 1, true, 0);
  EXPECT_EQ(big5[15], 1);

  std::uint8_t pinyin[kStatusRecordSize];
  std::fill(pinyin, pinyin + kStatusRecordSize, 9);
  ApplyStatusWindowSettings(pinyin, 1, false, 1);
  for (int i : {19, 25, 75}) EXPECT_EQ(pinyin[i], 1) << i;
  for (int i : {22, 27, 31, 35, 36, 42, 66, 69}) EXPECT_EQ(pinyin[i], 0) << i;
  EXPECT_EQ(pinyin[80], 10);
  EXPECT_EQ(pinyin[26], 9) << "bytes between the ranges are left alone";
  EXPECT_EQ(pinyin[37], 9);
}

namespace {

std::vector<std::uint8_t> Utf16(const std::u16string& s) {
  std::vector<std::uint8_t> out;
  for (char16_t c : s) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return out;
}

}  // namespace

TEST(PatchVersionBytes, RewritesSixThreeAndSixSevenToSevenThree) {
  struct Case {
    std::u16string in, out;
    int patched;
  } cases[] = {
      {u"xx智能岚溪输入平台 V6.7yy", u"xx智能岚溪输入平台 V7.3yy", 1},
      {u"智能岚溪输入平台 V6.3", u"智能岚溪输入平台 V7.3", 1},
      {u"智能岚溪输入平台 V6.5", u"智能岚溪输入平台 V6.5", 0},
      {u"智能岚溪输入平台 V7.3", u"智能岚溪输入平台 V7.3", 0},
      {u"智能岚溪输入平台V6.7 ", u"智能岚溪输入平台V6.7 ", 0},  // no space after the name
      {u"智能岚溪输入平台 V6.7 智能岚溪输入平台 版6.3", u"智能岚溪输入平台 V7.3 智能岚溪输入平台 版7.3", 2},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> data = Utf16(c.in);
    EXPECT_EQ(PatchVersionBytes(data.data(), data.size()), c.patched);
    EXPECT_EQ(data, Utf16(c.out));
  }
}

TEST(PatchVersionBytes, NeverReadsPastTheEnd) {
  // The name at the very end, with its version cut off: nothing to patch.
  std::vector<std::uint8_t> data = Utf16(u"智能岚溪输入平台 V6.");
  EXPECT_EQ(PatchVersionBytes(data.data(), data.size()), 0);
  std::vector<std::uint8_t> exact = Utf16(u"智能岚溪输入平台 V6.7");
  exact.pop_back();  // the last byte, the high byte of '7', is outside
  EXPECT_EQ(PatchVersionBytes(exact.data(), exact.size()), 1);
}
