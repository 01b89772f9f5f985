#include "location/file_ops.h"

#include <windows.h>

#include <cstring>

#include "location/holders.h"
#include "location/path_rules.h"

int DeleteForReplace(const char* path) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE);
  {
    LFile probe = LFile::OpenRead(path);
    if (!probe.ok()) return 0;
  }
  return DeleteFileA(path) ? 0 : -1;
}

int RenameAside(const char* path) {
  char nearName[200];
  for (char c : {'2', '1'}) {
    // Too short to have a fifth character from the end, or too long for the
    // buffer: nothing is moved.
    if (!NearName(nearName, sizeof nearName, path, c)) return -1;
    DeleteForReplace(nearName);
    if (MoveFileA(path, nearName)) return 0;
  }
  return -1;
}

bool PathExists(const char* path) {
  WinHandle h(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return h.ok();
}

bool IsPlainFileName(const char* name) {
  wchar_t wide[64];
  int n = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 64);
  if (n <= 1) return false;  // empty, or not convertible
  if (lstrcmpW(wide, L".") == 0 || lstrcmpW(wide, L"..") == 0) return false;
  for (const wchar_t* c = wide; *c; ++c) {
    if (*c == L'\\' || *c == L'/' || *c == L':') return false;
  }
  return true;
}
