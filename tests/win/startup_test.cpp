#include "driver/startup.h"

#include <gtest/gtest.h>

#include <cstring>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "location/install_dir.h"
#include "win_fixture.h"

namespace {

DWORD MajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExA(&info);
  return info.dwMajorVersion;
}

}  // namespace

// These run on a 64-bit prefix twice: as Windows 7 and as Windows XP.
TEST(DetectWindows64, NeedsVersion6AndTheWow64Directory) {
  std::strcpy(g_machine.wow64Dir, "untouched");
  bool is64 = DetectWindows64();
  EXPECT_EQ(g_machine.winMajor, MajorVersion());
  if (MajorVersion() <= 5) {
    EXPECT_FALSE(is64) << "XP counts as 32-bit even with a syswow64 directory";
    EXPECT_STREQ(g_machine.wow64Dir, "untouched");
  } else {
    EXPECT_TRUE(is64);
    EXPECT_EQ(std::string(g_machine.wow64Dir), WindowsDir() + "\\syswow64");
  }
}

TEST(ProbeAdminRights, PassesWithRightsAndRestoresTheStores) {
  ResetInstallStores();
  std::strcpy(g_location.dir, "D:\\kept");
  EXPECT_FALSE(ProbeAdminRights());
  auto first = ReadBytes(WindowsDir() + "\\tavopath.tvh");
  if (MajorVersion() <= 5) {
    EXPECT_FALSE(first.has_value()) << "no probe below Windows 6";
    EXPECT_STREQ(g_location.dir, "D:\\kept");
  } else {
    EXPECT_EQ(first, std::string("D:\\kept\\"));
    EXPECT_EQ(ReadBytes(std::string(DefaultDriveDirectory()) + "tavopath.tvh"),
              std::string("D:\\kept\\"));
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, "Software\\tavowb", "path").text, L"D:\\kept\\");
  }
  ResetInstallStores();
}

TEST(ReadDirectoryArgument, ReplacesTheDirectoryOnlyWithAValue) {
  std::strcpy(g_location.dir, "c:\\resolved\\");
  ReadDirectoryArgument("REGTV32=D:\\tv\\");
  EXPECT_STREQ(g_location.dir, "c:\\resolved\\");
  ReadDirectoryArgument("regtv32=D:\\tv");
  EXPECT_STREQ(g_location.dir, "D:\\tv");
}

TEST(InstallImeWithSystem, RegistersTheLayoutAndKeepsItsHandle) {
  g_ime.installedLayout = nullptr;
  ASSERT_TRUE(InstallImeWithSystem());
  ASSERT_NE(g_ime.installedLayout, nullptr);
  char name[16];
  wsprintfA(name, "%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(g_ime.installedLayout)));
  std::string key = std::string("System\\CurrentControlSet\\Control\\Keyboard Layouts\\") + name;
  RegText text = ReadRegText(HKEY_LOCAL_MACHINE, key.c_str(), "Layout Text");
  EXPECT_EQ(text.text, std::wstring(L"智能岚溪输入平台  7.3"));
}
