#include "driver/run_mode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(RunMode, TokensAndBitnessChooseTheMode) {
  struct Case {
    const char* args;
    bool windows64;
    RunMode expected;
    int setupMode;
  } cases[] = {
      {"", true, RunMode::Interactive, 2},
      {"", false, RunMode::Interactive, 2},
      {"settvsrf32", true, RunMode::Silent, 3},
      {"SETTVSRF32", false, RunMode::Silent, 3},
      {"regtv32=D:\\tv\\", true, RunMode::Registration, 2},
      {"regtv32=D:\\tv\\", false, RunMode::Interactive, 2},  // 32-bit Windows
      {"REGTV32=D:\\tv\\", true, RunMode::Registration, 2},
      {"regtv32 settvsrf32", true, RunMode::Registration, 2},
      {"regtv32 settvsrf32", false, RunMode::Interactive, 2},  // regtv32 wins the token test
      {"\"settvsrf32\"", false, RunMode::Silent, 3},           // quotes are not removed
  };
  for (const Case& c : cases) {
    CommandTokens t = ReadCommandTokens(c.args);
    EXPECT_EQ(ChooseRunMode(t, c.windows64), c.expected) << c.args << " 64=" << c.windows64;
    EXPECT_EQ(t.setupMode, c.setupMode) << c.args;
  }
}

TEST(DirectoryArgument, TakesTheValueAtTheFirstR) {
  struct Case {
    const char* args;
    const char* expected;  // nullptr: the directory stays as it was
  } cases[] = {
      {"regtv32=D:\\tv\\", "D:\\tv\\"},
      {"regtv32=D:\\my dir\\ \"x\"", "D:\\my dir\\ \"x\""},  // nothing trimmed
      {"regtv32=", ""},
      {"REGTV32=D:\\tv\\", nullptr},        // case-sensitive here
      {"xr regtv32=D:\\tv\\", nullptr},     // an earlier 'r' is the one tried
      {"regtv32 D:\\tv\\", nullptr},        // no '='
      {"settvsrf32", nullptr},              // first 'r' is in "srf", not the token
      {"", nullptr},
      {"regtv3", nullptr},                  // never reads past the text
  };
  for (const Case& c : cases) {
    char dir[200] = "kept";
    bool taken = ParseDirectoryArgument(c.args, dir, sizeof dir);
    EXPECT_EQ(taken, c.expected != nullptr) << c.args;
    EXPECT_STREQ(dir, c.expected ? c.expected : "kept") << c.args;
  }
}

TEST(DirectoryArgument, RefusesAValueThatCannotBeStoredWhole) {
  char dir[200] = "kept";
  std::string longest = "regtv32=" + std::string(198, 'a');  // 198 + its backslash fit
  EXPECT_TRUE(ParseDirectoryArgument(longest.c_str(), dir, sizeof dir));
  EXPECT_EQ(std::strlen(dir), 198u);

  std::strcpy(dir, "kept");
  std::string needsRoom = "regtv32=" + std::string(199, 'a');  // no room for the backslash
  EXPECT_FALSE(ParseDirectoryArgument(needsRoom.c_str(), dir, sizeof dir));
  EXPECT_STREQ(dir, "kept");

  std::string withSlash = "regtv32=" + std::string(198, 'a') + "\\";  // 199 with its backslash
  EXPECT_TRUE(ParseDirectoryArgument(withSlash.c_str(), dir, sizeof dir));
  EXPECT_EQ(std::strlen(dir), 199u);

  std::strcpy(dir, "kept");
  std::string tooLong = "regtv32=" + std::string(400, 'a');
  EXPECT_FALSE(ParseDirectoryArgument(tooLong.c_str(), dir, sizeof dir));
  EXPECT_STREQ(dir, "kept");
}
