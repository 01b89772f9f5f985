#include "imereg/system_entries.h"

#include <windows.h>

#include <cwchar>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "imereg/layout_rules.h"
#include "imereg/reg_text.h"
#include "location/install_dir.h"
#include "resources/texts.h"

namespace {

LONG SetWideText(HKEY key, const wchar_t* name, const wchar_t* text) {
  return g_ime.setValueW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::wcslen(text) * sizeof(wchar_t)));
}

// Opens parentPath for reading and creates or opens its sub key child.
bool OpenChildForWriting(const char* parentPath, const char* child, RegKey* parent,
                         RegKey* key) {
  return OpenRegKey(HKEY_LOCAL_MACHINE, parentPath, KEY_READ, parent) &&
         CreateRegKey(parent->get(), child, key);
}

}  // namespace

void WriteUninstallEntry() {
  const wchar_t* displayName = g_run.edition == 1 ? txt::kNamePinyin : txt::kNameWubi;
  HKEY parent = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                    0, KEY_READ, &parent) != ERROR_SUCCESS)
    return;
  RegKey parentHolder;
  *parentHolder.out() = parent;
  HKEY entry = nullptr;
  if (RegCreateKeyExW(parent, L"tavokwb", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegKey entryHolder;
  *entryHolder.out() = entry;

  SetWideText(entry, L"DisplayName", displayName);
  wchar_t system[100];
  UINT n = GetSystemDirectoryW(system, 100);
  if (n == 0 || n >= 100) return;  // a path that did not fit names nothing
  wchar_t command[100 + 16];
  std::wcscpy(command, system);
  std::wcscat(command, L"\\tavodel.exe");
  SetWideText(entry, L"UninstallString", command);
}

void WriteAutostartValue(const char* commandLine) {
  RegKey parent, run;
  if (!OpenChildForWriting("Software\\Microsoft\\Windows\\CurrentVersion", "Run", &parent, &run))
    return;
  RegDeleteValueA(run.get(), "tvtksjgl");
  SetRegTextValue(run.get(), "tvtksjgl", commandLine);
}

void WriteUserAgentToken() {
  RegKey parent, platform;
  if (!OpenChildForWriting(
          "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent",
          "Post Platform", &parent, &platform))
    return;
  // The tokens of versions 6.3 to 7.8: vemo6300 ... vemo6800, vemo7000 ...
  // vemo7800.
  char name[] = "vemo6300";
  for (char d = '3'; d <= '8'; ++d) {
    name[5] = d;
    RegDeleteValueA(platform.get(), name);
  }
  name[4] = '7';
  for (char d = '0'; d <= '8'; ++d) {
    name[5] = d;
    RegDeleteValueA(platform.get(), name);
  }
  SetRegTextValue(platform.get(), "vemo7300", "");
}

void LowerDirectoryIntegrity() {
  char command[kInstallDirSize + 64];
  if (!IntegrityCommand(g_location.dir, command, sizeof command)) return;
  g_ime.startProgram(command, SW_SHOW);
}
