#include "location/install_dir.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "driver/run_state.h"
#include "location/holders.h"
#include "location/path_rules.h"

InstallLocation g_location;

namespace {

// "<windows directory>\tavopath.tvh"; false when the Windows directory
// cannot be read.
bool FirstDirectoryFile(char* out, std::size_t cap) {
  char windows[MAX_PATH];
  UINT n = GetWindowsDirectoryA(windows, sizeof windows);
  if (n == 0 || n >= sizeof windows) return false;
  return CopyText(out, cap, windows) && AppendText(out, cap, "\\") &&
         AppendText(out, cap, kDirectoryFileName);
}

bool SecondDirectoryFile(char* out, std::size_t cap) {
  return CopyText(out, cap, DefaultDriveDirectory()) && AppendText(out, cap, kDirectoryFileName);
}

enum class Store { Missing, Used };

// Reads a directory file into the install directory. A file that cannot be
// opened is a missing store. So is one whose content could not be stored
// whole with its closing backslash: a cut path would name another directory.
Store ReadDirectoryFile(const char* path) {
  LFile f = LFile::OpenRead(path);
  if (!f.ok()) return Store::Missing;
  char content[kInstallDirSize + 1] = {};
  UINT n = _lread(f.get(), content, kInstallDirSize);
  if (n == static_cast<UINT>(HFILE_ERROR)) n = 0;
  content[n < kInstallDirSize ? n : kInstallDirSize] = '\0';
  std::string_view text(content);
  if (n >= kInstallDirSize || !FitsAsInstallDirectory(text, kInstallDirSize)) return Store::Missing;
  CopyText(g_location.dir, kInstallDirSize, text);
  return Store::Used;
}

Store ReadRegistryStore() {
  RegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\tavowb", 0, KEY_ALL_ACCESS, key.out()) !=
      ERROR_SUCCESS)
    return Store::Missing;
  // One spare zero byte: a value stored without its terminator still ends.
  char value[kInstallDirSize + 1] = {};
  DWORD size = kInstallDirSize;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), "path", nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &size) != ERROR_SUCCESS)
    return Store::Missing;
  std::string_view text(value);
  if (!FitsAsInstallDirectory(text, kInstallDirSize)) return Store::Missing;
  CopyText(g_location.dir, kInstallDirSize, text);
  return Store::Used;
}

void WriteDirectoryFile(const char* path) {
  LFile f = LFile::Create(path);
  if (!f.ok()) return;
  _lwrite(f.get(), g_location.dir, static_cast<UINT>(std::strlen(g_location.dir)));
}

}  // namespace

std::string InInstallDir(const char* name) { return std::string(g_location.dir) + name; }

bool InstallDirectoryIsSet() { return g_location.dir[1] == ':' && g_location.dir[2] == '\\'; }

char* ResolveInstallDirectory() {
  if (InstallDirectoryIsSet()) return g_location.dir;
  std::memset(g_location.dir, 0, sizeof g_location.dir);

  char path[MAX_PATH + 32];
  if (FirstDirectoryFile(path, sizeof path) && ReadDirectoryFile(path) == Store::Used)
    return g_location.dir;
  if (ReadRegistryStore() == Store::Used) return g_location.dir;
  if (SecondDirectoryFile(path, sizeof path) && ReadDirectoryFile(path) == Store::Used)
    return g_location.dir;
  CopyText(g_location.dir, kInstallDirSize, kDefaultInstallDir);
  return g_location.dir;
}

void PersistInstallDirectory() {
  std::size_t n = std::strlen(g_location.dir);
  if (n == 0 || g_location.dir[n - 1] != '\\') {
    // Every way in keeps room for this backslash; should a directory arrive
    // without it, the default is stored rather than a path cut short.
    if (!AppendText(g_location.dir, kInstallDirSize, "\\"))
      CopyText(g_location.dir, kInstallDirSize, kDefaultInstallDir);
  }

  char path[MAX_PATH + 32];
  if (FirstDirectoryFile(path, sizeof path)) WriteDirectoryFile(path);

  RegKey software;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, software.out()) == ERROR_SUCCESS) {
    RegKey tavowb;
    if (RegCreateKeyExA(software.get(), "tavowb", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        tavowb.out(), nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(tavowb.get(), "path", 0, REG_SZ, reinterpret_cast<const BYTE*>(g_location.dir),
                     static_cast<DWORD>(std::strlen(g_location.dir)));
    }
  }

  if (g_machine.winMajor >= 6) {
    CreateDirectoryA(DefaultDriveDirectory(), nullptr);
    if (SecondDirectoryFile(path, sizeof path)) WriteDirectoryFile(path);
  }
}

const char* DefaultDriveDirectory() {
  g_location.defaultDriveDir[0] = '\0';
  char letter = PickDefaultDrive([](char l) {
    const char root[] = {l, ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_FIXED;
  });
  if (letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    CopyText(g_location.defaultDriveDir, sizeof g_location.defaultDriveDir, root);
    AppendText(g_location.defaultDriveDir, sizeof g_location.defaultDriveDir, "tavohu\\");
  }
  return g_location.defaultDriveDir;
}

void Wow64Directory(char* out, std::size_t cap) {
  char windows[MAX_PATH];
  UINT n = GetWindowsDirectoryA(windows, sizeof windows);
  if (n == 0 || n >= sizeof windows || !CopyText(out, cap, windows) ||
      !AppendText(out, cap, "\\syswow64")) {
    if (cap) out[0] = '\0';
  }
}
