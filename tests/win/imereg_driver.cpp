// Runs one IME registration operation in a fresh process, so that the
// end-to-end tests can answer its message boxes and read the registry it
// leaves. The exit code is the operation's result where it has one.
//
//   imereg_driver check          CheckDefaultImeBeforeInstall
//   imereg_driver check-active   the same, with the active layout
//                                describing itself as the IME
//   imereg_driver manual         RegisterLayoutManually
//   imereg_driver manual-9x      the same, as on Windows 98
//   imereg_driver find           FindEarlierVersion; prints the list it
//                                read and what it found
//
// Options after the command set up what Wine does not let a test prepare
// from outside: Wine writes its own layout as value "1" of the user's
// preload list whenever a program starts (the test bed's box reader
// included), and creates that list if it is missing.
//   preload=ID,ID,...            the user's preload list, written first
//   without-user-layout-key      HKCU "keyboard layout" deleted first
// Every 8-bit value the operation writes is printed as "write NAME=DATA",
// so the tests see the writes Wine would later cover.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "imereg/layout_register.h"
#include "imereg/preload.h"
#include "resources/texts.h"

namespace {

UINT WINAPI DescribeAsIme(HKL, LPSTR buf, UINT cap) {
  if (!buf || cap == 0) return 16;
  lstrcpynA(buf, txt::kLayoutDescGbk, static_cast<int>(cap));
  return 16;
}

DWORD WINAPI Windows98Version() { return 0xC0000A04; }

LONG WINAPI PrintedSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                            DWORD size) {
  std::printf("write %s=%.*s\n", name ? name : "", static_cast<int>(size),
              reinterpret_cast<const char*>(data));
  std::fflush(stdout);
  return RegSetValueExA(key, name, reserved, type, data, size);
}

void DeleteTree(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char name[256];
    DWORD len = sizeof name;
    while (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS) {
      DeleteTree(root, path + "\\" + name);
      len = sizeof name;
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(root, path.c_str());
}

void WritePreload(const char* ids) {
  DeleteTree(HKEY_CURRENT_USER, "keyboard layout\\preload");
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "keyboard layout\\preload", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  int k = 0;
  for (const char* p = ids; *p;) {
    const char* end = std::strchr(p, ',');
    if (!end) end = p + std::strlen(p);
    std::string id(p, end);
    RegSetValueExA(key, std::to_string(++k).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(id.c_str()), static_cast<DWORD>(id.size()));
    p = *end ? end + 1 : end;
  }
  RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 100;
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "preload=", 8) == 0) WritePreload(argv[i] + 8);
    if (std::strcmp(argv[i], "without-user-layout-key") == 0)
      DeleteTree(HKEY_CURRENT_USER, "keyboard layout");
  }
  g_machine.oemCodePage = GetOEMCP();
  g_ime.setValueA = PrintedSetValue;

  const std::string command = argv[1];
  if (command == "check") return CheckDefaultImeBeforeInstall();
  if (command == "check-active") {
    g_ime.describeLayout = DescribeAsIme;
    return CheckDefaultImeBeforeInstall();
  }
  if (command == "find") {
    int found = FindEarlierVersion();
    for (int k = 1; k <= g_preload.count; ++k)
      std::printf("slot %d %s %s\n", k, g_preload.ids[k - 1], g_preload.texts[k - 1]);
    std::printf("found %d flag %d position %d\n", found, g_preload.earlierFlag,
                g_preload.earlierPosition);
    return found;
  }
  if (command == "manual-9x") g_ime.getVersion = Windows98Version;
  if (command == "manual" || command == "manual-9x") {
    RegisterLayoutManually();
    return 0;
  }
  return 101;
}
