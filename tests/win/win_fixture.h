// Small helpers the Windows tests share: files and registry values set up
// and read back through the real Win32 calls.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

std::string WindowsDir();
std::string SystemDir();
std::string TempDir();  // a fresh directory for one test, ends in '\'

bool WriteBytes(const std::string& path, const std::string& data);
std::optional<std::string> ReadBytes(const std::string& path);

// REG_SZ set through the 8-bit call, stored without its terminating zero the
// way the program stores texts.
void SetRegText(HKEY root, const char* key, const char* name, const std::string& value);
void DeleteRegKey(HKEY root, const char* key);
// A value read back as UTF-16 text (without trailing zeros) and the number
// of bytes stored.
struct RegText {
  bool found = false;
  DWORD type = 0;
  DWORD bytes = 0;
  std::wstring text;
};
RegText ReadRegText(HKEY root, const char* key, const char* name);

std::wstring Widen(const std::string& s);

// Clears the install directory and the three stores that remember it.
void ResetInstallStores();
