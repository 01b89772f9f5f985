#include "imereg/reg_text.h"

#include <cstring>

#include "imereg/ime_install.h"

bool OpenRegKey(HKEY parent, const char* path, REGSAM access, RegKey* key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(parent, path, 0, access, &h) != ERROR_SUCCESS) return false;
  *key->out() = h;
  return true;
}

bool CreateRegKey(HKEY parent, const char* path, RegKey* key) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  *key->out() = h;
  return true;
}

bool QueryRegText(HKEY key, const char* name, char* buf, DWORD cap) {
  if (cap == 0) return false;
  // One byte is kept back for the terminating zero the stored data may lack.
  DWORD size = cap - 1;
  LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  if (rc != ERROR_SUCCESS || size > cap - 1 || (size == cap - 1 && size > 0 && buf[size - 1])) {
    buf[0] = '\0';
    return false;
  }
  buf[size] = '\0';
  return true;
}

LONG SetRegTextValue(HKEY key, const char* name, const char* text) {
  return g_ime.setValueA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>(std::strlen(text)));
}

WinFamily CurrentFamily() { return FamilyOfVersion(g_ime.getVersion()); }
