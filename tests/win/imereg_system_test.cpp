#include "imereg/system_entries.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "imereg/ime_windows.h"
#include "imereg_fixture.h"
#include "location/install_dir.h"
#include "win_fixture.h"

namespace {

constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavokwb";
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUserAgent[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent";

std::set<std::string> ValueNames(HKEY root, const std::string& path) {
  std::set<std::string> names;
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    if (RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.insert(name);
  }
  RegCloseKey(k);
  return names;
}

}  // namespace

TEST(SystemEntries, UninstallEntryNamesTheEditionAndTheUninstaller) {
  struct Case {
    int edition;
    std::wstring name;
  } cases[] = {{0, L"青枫五笔"}, {1, L"岚溪拼音"}, {2, L"青枫五笔"}};
  const std::wstring uninstaller = Widen(SystemDir()) + L"\\tavodel.exe";
  auto bytes = [](const std::wstring& w) {
    return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
  };
  for (const Case& c : cases) {
    DeleteTree(HKEY_LOCAL_MACHINE, kUninstall);
    g_run.edition = c.edition;
    WriteRecorder rec;
    WriteUninstallEntry();
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName").text, c.name);
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString").text, uninstaller);
    // UTF-16 data, handed over without the terminating zero.
    ASSERT_EQ(rec.writes().size(), 2u);
    EXPECT_EQ(rec.writes()[0].name, "DisplayName");
    EXPECT_EQ(rec.writes()[0].type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(rec.writes()[0].data, bytes(c.name)) << c.edition;
    EXPECT_EQ(rec.writes()[1].name, "UninstallString");
    EXPECT_EQ(rec.writes()[1].data, bytes(uninstaller));
  }
  g_run.edition = 0;
}

TEST(SystemEntries, AutostartValueReplacesAnOldCommand) {
  SetRegText(HKEY_LOCAL_MACHINE, kRun, "tvtksjgl", "C:\\old\\tavovemo.exe tv");
  WriteRecorder rec;
  WriteAutostartValue("D:\\tavohu2\\tavovemo.exe tv");
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, kRun, "tvtksjgl"), "D:\\tavohu2\\tavovemo.exe tv");
  ASSERT_EQ(rec.writes().size(), 1u);
  EXPECT_EQ(rec.writes()[0].name, "tvtksjgl");
  EXPECT_EQ(rec.writes()[0].data, "D:\\tavohu2\\tavovemo.exe tv") << "length without the zero";
}

TEST(SystemEntries, UserAgentTokenReplacesThoseOfVersions63To78) {
  DeleteTree(HKEY_LOCAL_MACHINE, kUserAgent);
  WriteUserAgentToken();
  EXPECT_TRUE(SubKeys(HKEY_LOCAL_MACHINE, kUserAgent).empty()) << "nothing without its parent";

  const std::string platform = std::string(kUserAgent) + "\\Post Platform";
  std::vector<std::string> earlier;
  for (char d = '3'; d <= '8'; ++d) earlier.push_back(std::string("vemo6") + d + "00");
  for (char d = '0'; d <= '8'; ++d) earlier.push_back(std::string("vemo7") + d + "00");
  ASSERT_EQ(earlier.size(), 15u);
  for (const std::string& name : earlier) SetRegText(HKEY_LOCAL_MACHINE, platform.c_str(), name.c_str(), "x");
  for (const char* kept : {"vemo5300", "vemo7900", "vemo6200", "other"})
    SetRegText(HKEY_LOCAL_MACHINE, platform.c_str(), kept, "x");

  WriteUserAgentToken();
  EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, platform),
            (std::set<std::string>{"vemo5300", "vemo6200", "vemo7300", "vemo7900", "other"}));
  RegText token = ReadRegText(HKEY_LOCAL_MACHINE, platform.c_str(), "vemo7300");
  EXPECT_EQ(token.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(token.bytes, 0u);
}

namespace {

std::vector<std::string> g_started;
UINT g_shows = 0;

UINT WINAPI RecordStart(LPCSTR command, UINT show) {
  g_started.push_back(command);
  g_shows = show;
  return 33;
}

}  // namespace

TEST(SystemEntries, IntegrityCommandQuotesTheDirectory) {
  struct Case {
    const char* dir;
    const char* command;
  } cases[] = {
      {"D:\\Program Files\\X\\", "icacls.exe \"D:\\Program Files\\X\" /SetIntegrityLevel Level: L"},
      {"D:\\", "icacls.exe \"D:\" /SetIntegrityLevel Level: L"},
  };
  g_ime.startProgram = RecordStart;
  for (const Case& c : cases) {
    g_started.clear();
    std::strcpy(g_location.dir, c.dir);
    LowerDirectoryIntegrity();
    EXPECT_EQ(g_started, std::vector<std::string>{c.command});
    EXPECT_EQ(g_shows, static_cast<UINT>(SW_SHOW));
  }
  g_ime.startProgram = WinExec;
}

UINT g_startResult = 0;

UINT WINAPI RecordAndStart(LPCSTR command, UINT show) {
  g_started.assign(1, command);
  g_startResult = WinExec(command, show);
  return g_startResult;
}

TEST(SystemEntries, IcaclsReallyStarts) {
  std::string dir = TempDir();
  std::strcpy(g_location.dir, dir.c_str());
  g_ime.startProgram = RecordAndStart;
  LowerDirectoryIntegrity();
  g_ime.startProgram = WinExec;
  ASSERT_EQ(g_started.size(), 1u);
  std::string expected = "icacls.exe \"" + dir.substr(0, dir.size() - 1) + "\" /SetIntegrityLevel Level: L";
  EXPECT_EQ(g_started[0], expected);
  EXPECT_GT(g_startResult, 31u) << "WinExec started icacls.exe";
}
