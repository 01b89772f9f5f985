#include "location/install_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "location/install_dir.h"
#include "resources/texts.h"
#include "win_fixture.h"

namespace {

// An install directory with n plain files of which the dictionaries and the
// module probe whole, plus the filer\ subdirectory.
class InstallCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir();
    std::strcpy(g_location.dir, dir_.c_str());
    CreateDirectoryA((dir_ + "filer").c_str(), nullptr);
  }
  void Fill(int others) {
    for (const char* name : {"tavocyzk.tv1", "tavopyck.tv1", "tavohu4.ime"})
      WriteBytes(dir_ + name, std::string(4096, 'x'));
    for (int i = 0; i < others; ++i) WriteBytes(dir_ + "f" + std::to_string(i) + ".dat", "x");
  }
  std::string dir_;
};

TEST_F(InstallCheckTest, AllTestsPassOnACompleteDirectory) {
  Fill(71);  // 74 files in all
  EXPECT_EQ(FirstFailedInstallCheck(), nullptr);
  EXPECT_EQ(g_check.directoryScore, kFullDirectoryScore);
  EXPECT_EQ(g_check.FileCount(), 74u) << "filer\\ is not a file";
  EXPECT_EQ(CheckInstallation(), 0) << "no report when nothing failed";

  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(std::string(current) + "\\", dir_) << "the check leaves us in the install directory";
}

TEST_F(InstallCheckTest, FilesAreCountedByKindWithoutWrapping) {
  for (const char* name : {"a.txt", "b.TXT", "x.txt.tvh", "c.tvh", "d.Tvh", "e.ime", "noext"})
    WriteBytes(dir_ + name, "x");
  ScanInstallDirectory();
  EXPECT_EQ(g_check.txtFiles, 3u);  // ".txt" anywhere in the name comes first
  EXPECT_EQ(g_check.tvhFiles, 2u);
  EXPECT_EQ(g_check.otherFiles, 2u);

  // 256 files of a kind still count as 256, never as 0.
  for (int i = 0; i < 256; ++i) WriteBytes(dir_ + "t" + std::to_string(i) + ".txt", "x");
  ScanInstallDirectory();
  EXPECT_EQ(g_check.txtFiles, 259u);
}

TEST_F(InstallCheckTest, VerdictOfTheFirstFailedTest) {
  struct Case {
    const char* what;
    int others;
    const char* remove;
    const char* shorten;  // rewritten with fewer than 20 bytes
    const char* verdict;
  } cases[] = {
      {"73 files", 70, nullptr, nullptr, txt::kCheckFilesIncomplete},
      {"no Wubi dictionary", 72, "tavocyzk.tv1", nullptr, txt::kCheckNoWubiDictionary},
      {"a short Wubi dictionary", 71, nullptr, "tavocyzk.tv1", txt::kCheckNoWubiDictionary},
      {"no Pinyin dictionary", 72, "tavopyck.tv1", nullptr, txt::kCheckNoPinyinDictionary},
      {"no module", 72, "tavohu4.ime", nullptr, txt::kCheckMissingFile},
      {"a module of 19 bytes", 71, nullptr, "tavohu4.ime", txt::kCheckMissingFile},
  };
  for (const Case& c : cases) {
    SetUp();
    Fill(c.others);
    if (c.remove) DeleteFileA((dir_ + c.remove).c_str());
    if (c.shorten) WriteBytes(dir_ + c.shorten, std::string(19, 'x'));
    const char* verdict = FirstFailedInstallCheck();
    EXPECT_STREQ(verdict ? verdict : "(none)", c.verdict) << c.what;
  }
}

TEST_F(InstallCheckTest, LaterDictionaryNamesAreTried) {
  Fill(71);
  DeleteFileA((dir_ + "tavocyzk.tv1").c_str());
  WriteBytes(dir_ + "tavocyzk.tvh", "short");
  WriteBytes(dir_ + "tavocyzk.tvu", std::string(20, 'x'));
  EXPECT_EQ(FirstFailedInstallCheck(), nullptr);
}

TEST_F(InstallCheckTest, ProbeResults) {
  WriteBytes(dir_ + "whole", std::string(20, 'x'));
  WriteBytes(dir_ + "short", std::string(7, 'x'));
  EXPECT_EQ(ProbeInstalledFile("whole"), kProbePassed);
  EXPECT_EQ(ProbeInstalledFile("short") / 256, 7);
  EXPECT_EQ(ProbeInstalledFile("missing"), ERROR_FILE_NOT_FOUND);
}

TEST_F(InstallCheckTest, TheDirectoryItself) {
  // Missing: nothing listed, cannot be entered.
  std::strcpy(g_location.dir, (dir_ + "absent\\").c_str());
  EXPECT_STREQ(FirstFailedInstallCheck(), txt::kCheckNoInstallPath);
  EXPECT_EQ(g_check.directoryScore, 0);

  // A further attribute bit costs the 3 points. Wine shows a directory
  // whose name begins with a dot as hidden; Windows keeps the bit we set.
  std::string hidden = dir_ + ".hidden\\";
  CreateDirectoryA(hidden.c_str(), nullptr);
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  ASSERT_NE(GetFileAttributesA(hidden.c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  dir_ = hidden;
  std::strcpy(g_location.dir, dir_.c_str());
  Fill(71);
  EXPECT_STREQ(FirstFailedInstallCheck(), txt::kCheckNoInstallPath);
  EXPECT_EQ(g_check.directoryScore, 11);
}

TEST_F(InstallCheckTest, AClosingBackslashIsAddedOnlyWhenItFits) {
  dir_.pop_back();
  std::strcpy(g_location.dir, dir_.c_str());
  ScanInstallDirectory();
  EXPECT_EQ(std::string(g_location.dir), dir_ + "\\");

  std::string longest(kInstallDirSize - 1, 'a');
  std::strcpy(g_location.dir, longest.c_str());
  ScanInstallDirectory();
  EXPECT_EQ(std::string(g_location.dir), longest) << "no byte past the buffer";
  EXPECT_EQ(g_check.directoryScore, 0);
}

TEST(CheckReport, TextAndBound) {
  char report[1024];
  BuildCheckReport(txt::kCheckFilesIncomplete, report, sizeof report);
  std::string expected = std::string(txt::kCheckReportHead) + "\r\n\r\n" + txt::kCheckReportError +
                         txt::kCheckFilesIncomplete + "\r\n\r\n" + txt::kCheckAdvice + "\r\n\r\n";
  EXPECT_EQ(std::string(report), expected);

  char small[10];
  BuildCheckReport(txt::kCheckFilesIncomplete, small, sizeof small);
  EXPECT_EQ(std::strlen(small), 9u);
}

}  // namespace
