#include "win_fixture.h"

#include <cstring>

#include "location/holders.h"
#include "location/install_dir.h"

std::string WindowsDir() {
  char buf[MAX_PATH];
  GetWindowsDirectoryA(buf, MAX_PATH);
  return buf;
}

std::string SystemDir() {
  char buf[MAX_PATH];
  GetSystemDirectoryA(buf, MAX_PATH);
  return buf;
}

std::string TempDir() {
  static int counter = 0;
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::string dir = std::string(base) + "tavotest" + std::to_string(GetCurrentProcessId()) + "_" +
                    std::to_string(++counter) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

bool WriteBytes(const std::string& path, const std::string& data) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  WinHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!h.ok()) return false;
  DWORD written = 0;
  return WriteFile(h.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
         written == data.size();
}

std::optional<std::string> ReadBytes(const std::string& path) {
  WinHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr));
  if (!h.ok()) return std::nullopt;
  std::string data(GetFileSize(h.get(), nullptr), '\0');
  DWORD read = 0;
  if (!data.empty()) ReadFile(h.get(), &data[0], static_cast<DWORD>(data.size()), &read, nullptr);
  data.resize(read);
  return data;
}

void SetRegText(HKEY root, const char* key, const char* name, const std::string& value) {
  RegKey k;
  RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr);
  RegSetValueExA(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                 static_cast<DWORD>(value.size()));
}

void DeleteRegKey(HKEY root, const char* key) { RegDeleteKeyA(root, key); }

RegText ReadRegText(HKEY root, const char* key, const char* name) {
  RegText r;
  RegKey k;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, k.out()) != ERROR_SUCCESS) return r;
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf - sizeof(wchar_t);
  std::wstring wname = Widen(name);
  if (RegQueryValueExW(k.get(), wname.c_str(), nullptr, &r.type, reinterpret_cast<BYTE*>(buf),
                       &size) != ERROR_SUCCESS)
    return r;
  r.found = true;
  r.bytes = size;
  r.text.assign(buf, size / sizeof(wchar_t));
  while (!r.text.empty() && r.text.back() == L'\0') r.text.pop_back();
  return r;
}

std::wstring Widen(const std::string& s) {
  std::wstring w(s.size() + 1, L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
  w.resize(n > 0 ? n - 1 : 0);
  return w;
}

void ResetInstallStores() {
  std::memset(g_location.dir, 0, sizeof g_location.dir);
  DeleteFileA((WindowsDir() + "\\tavopath.tvh").c_str());
  DeleteRegKey(HKEY_LOCAL_MACHINE, "Software\\tavowb");
  DeleteFileA((std::string(DefaultDriveDirectory()) + "tavopath.tvh").c_str());
}
