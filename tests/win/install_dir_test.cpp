#include "location/install_dir.h"

#include <gtest/gtest.h>

#include <cstring>

#include "driver/run_state.h"
#include "location/path_rules.h"
#include "win_fixture.h"

namespace {

std::string FirstFile() { return WindowsDir() + "\\tavopath.tvh"; }
std::string SecondFile() { return std::string(DefaultDriveDirectory()) + "tavopath.tvh"; }

class InstallDir : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInstallStores();
    CreateDirectoryA(DefaultDriveDirectory(), nullptr);
  }
  void TearDown() override { ResetInstallStores(); }
};

}  // namespace

TEST_F(InstallDir, ResolutionTakesTheFirstStoreThatAnswers) {
  const std::string k199(199, 'x');
  const std::string k198 = "D:\\" + std::string(195, 'y');  // 198 characters, no backslash
  struct Case {
    const char* what;
    std::optional<std::string> first, registry, second;
    std::string expected;
  } cases[] = {
      {"file wins over a differing registry value", "D:\\a\\", "E:\\b\\", "F:\\c\\", "D:\\a\\"},
      {"registry without the first file", std::nullopt, "E:\\b\\", "F:\\c\\", "E:\\b\\"},
      {"second file last", std::nullopt, std::nullopt, "F:\\c\\", "F:\\c\\"},
      {"no store at all", std::nullopt, std::nullopt, std::nullopt, "c:\\tavohu2\\"},
      {"an empty first file gives an empty directory", "", "E:\\b\\", std::nullopt, ""},
      {"file content taken unchanged", "D:\\no slash", std::nullopt, std::nullopt, "D:\\no slash"},
      {"198 characters still fit with their backslash", k198, "E:\\b\\", std::nullopt, k198},
      {"a 199-character file without backslash is passed over", k199, "E:\\b\\", std::nullopt,
       "E:\\b\\"},
      {"a 199-character file with its backslash is used", k199.substr(1) + "\\", std::nullopt,
       std::nullopt, k199.substr(1) + "\\"},
      {"a 300-byte file is passed over", std::string(300, 'z'), std::nullopt, "F:\\c\\", "F:\\c\\"},
      {"a too long registry value is passed over", std::nullopt, k199, "F:\\c\\", "F:\\c\\"},
  };
  for (const Case& c : cases) {
    ResetInstallStores();
    if (c.first) WriteBytes(FirstFile(), *c.first);
    if (c.registry) SetRegText(HKEY_LOCAL_MACHINE, "Software\\tavowb", "path", *c.registry);
    if (c.second) WriteBytes(SecondFile(), *c.second);
    EXPECT_EQ(std::string(ResolveInstallDirectory()), c.expected) << c.what;
  }
}

TEST_F(InstallDir, ASetDirectoryIsNotResolvedAgain) {
  WriteBytes(FirstFile(), "D:\\a\\");
  std::strcpy(g_location.dir, "Q:\\set\\");
  EXPECT_STREQ(ResolveInstallDirectory(), "Q:\\set\\");
  std::strcpy(g_location.dir, "Q:set");  // not set: no backslash at the third place
  EXPECT_STREQ(ResolveInstallDirectory(), "D:\\a\\");
}

TEST_F(InstallDir, PersistAddsOneBackslashAndWritesEveryStore) {
  struct Case {
    const char* dir;
    const char* stored;
  } cases[] = {{"D:\\tv", "D:\\tv\\"}, {"D:\\tv\\", "D:\\tv\\"}, {"", "\\"}};
  g_machine.winMajor = 6;
  for (const Case& c : cases) {
    ResetInstallStores();
    std::strcpy(g_location.dir, c.dir);
    PersistInstallDirectory();
    EXPECT_STREQ(g_location.dir, c.stored);
    EXPECT_EQ(ReadBytes(FirstFile()), std::string(c.stored)) << c.dir;
    EXPECT_EQ(ReadBytes(SecondFile()), std::string(c.stored)) << c.dir;
    RegText reg = ReadRegText(HKEY_LOCAL_MACHINE, "Software\\tavowb", "path");
    EXPECT_EQ(reg.type, static_cast<DWORD>(REG_SZ));
    // Wine's 8-bit registry call adds the terminating zero the program
    // leaves out, so only the text itself is compared here.
    EXPECT_EQ(reg.text, Widen(c.stored)) << c.dir;
  }
}

TEST_F(InstallDir, PersistOnWindows5WritesNoSecondFile) {
  g_machine.winMajor = 5;
  std::strcpy(g_location.dir, "D:\\tv\\");
  PersistInstallDirectory();
  EXPECT_EQ(ReadBytes(FirstFile()), std::string("D:\\tv\\"));
  EXPECT_FALSE(ReadBytes(SecondFile()).has_value());
}

TEST_F(InstallDir, PersistNeverWritesPastTheDirectoryBuffer) {
  // Only reachable by a caller that ignores the length rules; the stored
  // directory must still end in a backslash and fit.
  g_machine.winMajor = 6;
  std::memset(g_location.dir, 'a', kInstallDirSize - 1);
  g_location.dir[kInstallDirSize - 1] = '\0';
  PersistInstallDirectory();
  EXPECT_STREQ(g_location.dir, kDefaultInstallDir);
  EXPECT_EQ(ReadBytes(FirstFile()), std::string(kDefaultInstallDir));
}

TEST_F(InstallDir, DefaultDriveAndWow64Names) {
  // The template machine has c: as its only fixed drive among c: to g:.
  EXPECT_STREQ(DefaultDriveDirectory(), "c:\\tavohu\\");
  char wow[MAX_PATH];
  Wow64Directory(wow, sizeof wow);
  EXPECT_EQ(std::string(wow), WindowsDir() + "\\syswow64");
  char tiny[4];
  Wow64Directory(tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "");
}
