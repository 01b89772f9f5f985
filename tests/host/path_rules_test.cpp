#include "location/path_rules.h"

#include <gtest/gtest.h>

#include <string>

TEST(ContainsNoCase, FoldsOnlyTheText) {
  struct Case {
    const char* text;
    const char* token;
    int expected;
  } cases[] = {
      {"regtv32=D:\\tv\\", "regtv32", 1},
      {"REGTV32=D:\\tv\\", "regtv32", 1},    // the text is folded
      {"x SetTvSrf32 y", "settvsrf32", 1},
      {"regtv32", "REGTV32", 0},             // the token is not
      {"regtv3", "regtv32", 0},              // no match past the text's end
      {"README.TXT", ".txt", 1},
      {"a.txt.bak", ".txt", 1},
      {"abc", "", 1},                        // empty token, non-empty text
      {"", "", 0},                           // empty token, empty text
      {"\xD6\xC7\xC4\xDC", "\xC4\xDC", 1},   // GBK bytes compare unchanged
      {"\xF6", "\xD6", 0},                   // high bytes are never folded
  };
  for (const Case& c : cases)
    EXPECT_EQ(ContainsNoCase(c.text, c.token), c.expected) << c.text << " / " << c.token;
}

TEST(ValidateInstallDirectory, AcceptsOneLevelBelowADriveRoot) {
  struct Case {
    const char* dir;
    int rejected;
  } cases[] = {
      {"c:\\ab", 0},          // 5 characters
      {"c:\\a", 1},           // 4 characters
      {"c:\\", 1},            // bare root
      {"c:\\tavohu2\\", 0},   // closing backslash
      {"c:\\tavohu2", 0},
      {"c:\\a\\b", 1},        // two levels
      {"c:\\a\\b\\", 1},
      {"\\\\srv\\share", 1},  // network path
      {"d:tavohu", 1},
      {"#:\\tavohu", 0},      // any drive letter
      {"", 1},
      {"c", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ValidateInstallDirectory(c.dir), c.rejected) << c.dir;
}

TEST(TextBuffers, NeverWritePastTheirCapacity) {
  char buf[8];
  EXPECT_TRUE(CopyText(buf, sizeof buf, "1234567"));
  EXPECT_STREQ(buf, "1234567");
  EXPECT_FALSE(CopyText(buf, sizeof buf, "12345678"));
  EXPECT_STREQ(buf, "");

  CopyText(buf, sizeof buf, "123");
  EXPECT_TRUE(AppendText(buf, sizeof buf, "4567"));
  EXPECT_FALSE(AppendText(buf, sizeof buf, "8"));
  EXPECT_STREQ(buf, "1234567");  // unchanged when it does not fit
}

TEST(FitsAsInstallDirectory, LeavesRoomForTheClosingBackslash) {
  const std::size_t cap = 200;
  EXPECT_TRUE(FitsAsInstallDirectory(std::string(198, 'a'), cap));
  EXPECT_FALSE(FitsAsInstallDirectory(std::string(199, 'a'), cap));  // needs a 200th character
  EXPECT_TRUE(FitsAsInstallDirectory(std::string(198, 'a') + "\\", cap));
  EXPECT_FALSE(FitsAsInstallDirectory(std::string(199, 'a') + "\\", cap));
  EXPECT_TRUE(FitsAsInstallDirectory("", cap));
}

TEST(NearName, ReplacesTheFifthCharacterFromTheEnd) {
  char out[200];
  ASSERT_TRUE(NearName(out, sizeof out, "C:\\windows\\system32\\tavohu4.ime", '2'));
  EXPECT_STREQ(out, "C:\\windows\\system32\\tavohu2.ime");
  ASSERT_TRUE(NearName(out, sizeof out, "abcdefgh", '1'));  // the extension is not looked at
  EXPECT_STREQ(out, "abc1efgh");
  ASSERT_TRUE(NearName(out, sizeof out, "abcde", '2'));
  EXPECT_STREQ(out, "2bcde");
  EXPECT_FALSE(NearName(out, sizeof out, "abcd", '2'));
  EXPECT_FALSE(NearName(out, sizeof out, std::string(200, 'a'), '2'));
}

TEST(PickDefaultDrive, TakesTheHighestFixedDriveFromGDownToC) {
  struct Case {
    const char* fixed;  // letters that are fixed drives
    char expected;
  } cases[] = {
      {"c", 'c'}, {"ce", 'e'}, {"cdefg", 'g'}, {"d", 'd'}, {"", '\0'},
      {"h", '\0'},  // only c: to g: count
  };
  for (const Case& c : cases) {
    std::string fixed = c.fixed;
    char got = PickDefaultDrive([&](char l) { return fixed.find(l) != std::string::npos; });
    EXPECT_EQ(got, c.expected) << c.fixed;
  }
}
