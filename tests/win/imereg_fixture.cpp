#include "imereg_fixture.h"

#include "imereg/ime_install.h"
#include "location/holders.h"

namespace {

std::vector<RecordedWrite> g_writes;
DWORD g_version = 0;

LONG WINAPI RecordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size) {
  g_writes.push_back({name ? name : "", type, std::string(reinterpret_cast<const char*>(data), size)});
  return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RecordingSetValueW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                               const BYTE* data, DWORD size) {
  std::string narrow;
  for (const wchar_t* c = name; c && *c; ++c) narrow += static_cast<char>(*c);
  g_writes.push_back({narrow, type, std::string(reinterpret_cast<const char*>(data), size)});
  return RegSetValueExW(key, name, reserved, type, data, size);
}

DWORD WINAPI ChosenVersion() { return g_version; }

}  // namespace

std::string Narrow(const std::wstring& text, UINT codePage) {
  int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                      nullptr, nullptr);
  return out;
}

void DeleteTree(HKEY root, const std::string& path) {
  for (const std::string& sub : SubKeys(root, path)) DeleteTree(root, path + "\\" + sub);
  RegDeleteKeyA(root, path.c_str());
}

void CreateKey(HKEY root, const std::string& path) {
  RegKey k;
  RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr);
}

std::vector<std::string> SubKeys(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  RegKey k;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, k.out()) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(k.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, len);
  }
  return names;
}

void SetNarrowValue(HKEY root, const std::string& key, const char* name, const std::string& bytes,
                    bool withoutZero) {
  RegKey k;
  RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.out(), nullptr);
  std::string data = bytes + (withoutZero ? "X" : std::string(1, '\0'));
  RegSetValueExA(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(bytes.size()));
}

std::optional<std::string> ReadNarrowValue(HKEY root, const std::string& key, const char* name) {
  RegKey k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.out()) != ERROR_SUCCESS) return std::nullopt;
  char buf[1024];
  DWORD size = sizeof buf;
  if (RegQueryValueExA(k.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  std::string s(buf, size);
  while (!s.empty() && s.back() == '\0') s.pop_back();
  return s;
}

void ResetLayouts(const std::vector<LayoutKey>& keys) {
  DeleteTree(HKEY_LOCAL_MACHINE, kLayoutsPath);
  CreateKey(HKEY_LOCAL_MACHINE, kLayoutsPath);
  for (const LayoutKey& k : keys) {
    std::string path = std::string(kLayoutsPath) + "\\" + k.name;
    CreateKey(HKEY_LOCAL_MACHINE, path);
    if (k.text) SetNarrowValue(HKEY_LOCAL_MACHINE, path, "layout text", *k.text);
  }
}

void SetNtPreload(HKEY root, const std::string& layoutKey, const std::vector<std::string>& ids) {
  std::string path = layoutKey + "\\preload";
  DeleteTree(root, path);
  CreateKey(root, path);
  for (size_t i = 0; i < ids.size(); ++i)
    SetNarrowValue(root, path, std::to_string(i + 1).c_str(), ids[i]);
}

std::vector<std::string> NtPreload(HKEY root, const std::string& layoutKey) {
  std::vector<std::string> ids;
  for (int k = 1;; ++k) {
    auto v = ReadNarrowValue(root, layoutKey + "\\preload", std::to_string(k).c_str());
    if (!v) break;
    ids.push_back(*v);
  }
  return ids;
}

void Set9xPreload(const std::vector<std::string>& ids) {
  DeleteTree(HKEY_CURRENT_USER, "keyboard layout\\preload");
  CreateKey(HKEY_CURRENT_USER, "keyboard layout\\preload");
  for (size_t i = 0; i < ids.size(); ++i)
    SetNarrowValue(HKEY_CURRENT_USER, "keyboard layout\\preload\\" + std::to_string(i + 1), nullptr,
                   ids[i]);
}

std::vector<std::string> Preload9x() {
  std::vector<std::string> ids;
  for (int k = 1;; ++k) {
    auto v = ReadNarrowValue(HKEY_CURRENT_USER, "keyboard layout\\preload\\" + std::to_string(k),
                             nullptr);
    if (!v) break;
    ids.push_back(*v);
  }
  return ids;
}

WriteRecorder::WriteRecorder() {
  g_writes.clear();
  g_ime.setValueA = RecordingSetValue;
  g_ime.setValueW = RecordingSetValueW;
}
WriteRecorder::~WriteRecorder() {
  g_ime.setValueA = RegSetValueExA;
  g_ime.setValueW = RegSetValueExW;
}
const std::vector<RecordedWrite>& WriteRecorder::writes() const { return g_writes; }
std::optional<RecordedWrite> WriteRecorder::Last(const std::string& name) const {
  for (auto it = g_writes.rbegin(); it != g_writes.rend(); ++it)
    if (it->name == name) return *it;
  return std::nullopt;
}

FamilyOverride::FamilyOverride(DWORD version) {
  g_version = version;
  g_ime.getVersion = ChosenVersion;
}
FamilyOverride::~FamilyOverride() { g_ime.getVersion = GetVersion; }
