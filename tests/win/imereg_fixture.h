// Registry set-ups and probes for the IME registration tests: layout keys,
// preload lists in both shapes, and a recorder for the 8-bit value writes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

constexpr char kLayoutsPath[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char kDefaultLayoutPath[] = ".DEFAULT\\keyboard layout";
constexpr DWORD kVersion98 = 0xC0000A04;  // what GetVersion answers on Windows 98

// Text in the given code page (936 GBK, 950 Big5).
std::string Narrow(const std::wstring& text, UINT codePage);

void DeleteTree(HKEY root, const std::string& path);
void CreateKey(HKEY root, const std::string& path);
std::vector<std::string> SubKeys(HKEY root, const std::string& path);
// Writes exactly these bytes as REG_SZ. Wine, like Windows, stores a
// terminating zero the caller left out when the byte after the data is zero;
// withoutZero makes that byte non-zero so the data stays as given.
void SetNarrowValue(HKEY root, const std::string& key, const char* name, const std::string& bytes,
                    bool withoutZero = false);
// Read back through RegQueryValueExA, trailing zero bytes dropped.
std::optional<std::string> ReadNarrowValue(HKEY root, const std::string& key, const char* name);

// Keyboard Layouts emptied, then the given keys made, each with its layout
// text (no text: std::nullopt).
struct LayoutKey {
  std::string name;
  std::optional<std::string> text;
};
void ResetLayouts(const std::vector<LayoutKey>& keys);

// The NT preload list root\layoutKey\preload: values "1", "2", ...
void SetNtPreload(HKEY root, const std::string& layoutKey, const std::vector<std::string>& ids);
std::vector<std::string> NtPreload(HKEY root, const std::string& layoutKey);
// The Windows 9x list HKCU\keyboard layout\preload\<k>, default values.
void Set9xPreload(const std::vector<std::string>& ids);
std::vector<std::string> Preload9x();

// While it lives, every value the program writes is recorded (and still
// written), through the 8-bit and the UTF-16 call alike.
struct RecordedWrite {
  std::string name;  // "" for the default value; ASCII names as they are
  DWORD type;
  std::string data;  // exactly the bytes handed over
};
class WriteRecorder {
 public:
  WriteRecorder();
  ~WriteRecorder();
  const std::vector<RecordedWrite>& writes() const;
  std::optional<RecordedWrite> Last(const std::string& name) const;
};

// While it lives, GetVersion answers the given value to the program.
class FamilyOverride {
 public:
  explicit FamilyOverride(DWORD version);
  ~FamilyOverride();
};
