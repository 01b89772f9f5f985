#include "location/file_ops.h"

#include <gtest/gtest.h>

#include "win_fixture.h"

TEST(DeleteForReplace, DeletesReadOnlyFilesAndIgnoresMissingOnes) {
  std::string dir = TempDir();
  std::string file = dir + "ro.txt";
  ASSERT_TRUE(WriteBytes(file, "x"));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(DeleteForReplace(file.c_str()), 0);
  EXPECT_FALSE(PathExists(file.c_str()));
  EXPECT_EQ(DeleteForReplace((dir + "absent.txt").c_str()), 0);
  EXPECT_EQ(DeleteForReplace("Q:\\no\\such\\drive.txt"), 0);
}

// A module loaded by a program cannot be deleted but can be moved: the case
// the near names exist for.
class LoadedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir();
    path_ = dir_ + "tavohu4.ime";
    ASSERT_TRUE(CopyFileA((SystemDir() + "\\msimg32.dll").c_str(), path_.c_str(), FALSE));
    module_ = LoadLibraryExA(path_.c_str(), nullptr, 0);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  std::string dir_, path_;
  HMODULE module_ = nullptr;
};

TEST_F(LoadedModule, IsNotDeletedButMovedAsideToItsNearName) {
  EXPECT_EQ(DeleteForReplace(path_.c_str()), -1);
  ASSERT_TRUE(WriteBytes(dir_ + "tavohu2.ime", "older copy, not in use"));
  EXPECT_EQ(RenameAside(path_.c_str()), 0);
  EXPECT_FALSE(PathExists(path_.c_str()));
  auto moved = ReadBytes(dir_ + "tavohu2.ime");
  ASSERT_TRUE(moved.has_value());
  EXPECT_EQ(moved->substr(0, 2), "MZ");  // the module replaced the older copy
}

TEST_F(LoadedModule, GoesToTheSecondNearNameWhenTheFirstIsBusy) {
  std::string older = dir_ + "tavohu2.ime";
  ASSERT_TRUE(CopyFileA(path_.c_str(), older.c_str(), FALSE));
  HMODULE olderModule = LoadLibraryExA(older.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(olderModule, nullptr);
  EXPECT_EQ(RenameAside(path_.c_str()), 0);
  EXPECT_TRUE(PathExists((dir_ + "tavohu1.ime").c_str()));
  EXPECT_TRUE(PathExists(older.c_str()));
  FreeLibrary(olderModule);
}

TEST(RenameAside, FailsCleanlyWithoutANearName) {
  std::string dir = TempDir();
  EXPECT_EQ(RenameAside("abcd"), -1);                           // shorter than 5 characters
  EXPECT_EQ(RenameAside(std::string(250, 'a').c_str()), -1);    // longer than its buffer
  EXPECT_EQ(RenameAside((dir + "missing.ime").c_str()), -1);    // nothing to move
}

TEST(PathExists, SeesFilesAndDirectories) {
  std::string dir = TempDir();
  ASSERT_TRUE(WriteBytes(dir + "f", ""));
  EXPECT_TRUE(PathExists(dir.c_str()));
  EXPECT_TRUE(PathExists((dir + "f").c_str()));
  EXPECT_FALSE(PathExists((dir + "g").c_str()));
}
