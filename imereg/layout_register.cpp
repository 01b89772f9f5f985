#include "imereg/layout_register.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "driver/run_state.h"
#include "imereg/layout_rules.h"
#include "imereg/reg_text.h"

namespace {

struct LayoutName {
  char text[kLayoutNameSize];
};

void ShowFailure(LayoutFailure failure, WinFamily family) {
  NarrowMessage m = LayoutFailureMessage(failure, family);
  MessageBoxA(nullptr, m.text, m.caption, MB_OK);
}

// The sub key names of Keyboard Layouts, from the highest enumeration index
// down. The table grows past its first 250 slots rather than dropping
// names: an unseen key could hide the IME's own key or the highest
// identifier, and the new key would then land on an existing layout.
std::vector<LayoutName> CollectLayoutNames(HKEY layouts) {
  DWORD count = 0;
  if (RegQueryInfoKeyA(layouts, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    count = 0;
  std::vector<LayoutName> names;
  names.reserve(kNameTableSlots);
  for (DWORD index = count + 1; index-- > 0;) {
    LayoutName name{};
    DWORD len = kLayoutNameSize;
    LONG rc = RegEnumKeyExA(layouts, index, name.text, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) continue;
    name.text[kLayoutNameSize - 1] = '\0';
    // An empty name would open Keyboard Layouts itself.
    if (name.text[0] != '\0') names.push_back(name);
  }
  return names;
}

// Scans the names in table order for the IME's layout key. On a match the
// key stays open in found and its name is copied to foundName; otherwise
// highest holds the highest identifier among the keys with a layout text.
bool FindImeLayoutKey(HKEY layouts, const std::vector<LayoutName>& names,
                      const LayoutTexts& texts, RegKey* found, char* foundName,
                      std::uint32_t* highest) {
  *highest = 0;
  for (const LayoutName& name : names) {
    if (!OpenRegKey(layouts, name.text, KEY_ALL_ACCESS, found)) continue;
    char text[200];
    bool hasText = QueryRegText(found->get(), "layout text", text, sizeof text);
    if (hasText && IsImeLayoutText(text, texts)) {
      std::memcpy(foundName, name.text, kLayoutNameSize);
      return true;
    }
    found->Close();
    if (!hasText) continue;
    std::uint32_t id = 0;
    if (ReadLeadingHex(name.text, &id) && id > *highest) *highest = id;
  }
  return false;
}

}  // namespace

void RegisterLayoutManually() {
  WinFamily family = CurrentFamily();
  LayoutTexts texts = LayoutTextsFor(g_machine.oemCodePage);

  RegKey layouts;
  if (!OpenRegKey(HKEY_LOCAL_MACHINE, kKeyboardLayoutsKey, KEY_READ, &layouts)) {
    ShowFailure(LayoutFailure::OpenLayouts, family);
    return;
  }

  char layoutName[kLayoutNameSize] = {};
  RegKey layoutKey;
  std::uint32_t highest = 0;
  bool found = FindImeLayoutKey(layouts.get(), CollectLayoutNames(layouts.get()), texts,
                                &layoutKey, layoutName, &highest);
  bool create = true;
  if (!found) {
    NewLayoutIdentifier(highest, texts, layoutName, sizeof layoutName);
  } else if (EndsWithSuffix(layoutName, texts.suffix)) {
    create = false;
  } else {
    // Left by an install on a system of the other code page: replace it.
    layoutKey.Close();
    RegDeleteKeyA(layouts.get(), layoutName);
    ReplaceSuffix(layoutName, sizeof layoutName, texts.suffix);
  }
  if (create && !CreateRegKey(layouts.get(), layoutName, &layoutKey)) {
    layouts.Close();
    ShowFailure(LayoutFailure::CreateLayoutKey, family);
    return;
  }

  SetRegTextValue(layoutKey.get(), "IME file", "TAVOHU4.IME");
  SetRegTextValue(layoutKey.get(), "layout file", LayoutFileFor(family));
  SetRegTextValue(layoutKey.get(), "layout text", texts.layoutText);
  layoutKey.Close();
  layouts.Close();

  AddPreloadEntry(layoutName);
}

namespace {

void AddPreloadEntryNt(const char* entry) {
  RegKey parent;
  if (!OpenRegKey(HKEY_CURRENT_USER, "keyboard layout", KEY_READ, &parent)) {
    ShowFailure(LayoutFailure::OpenPreloadParent, WinFamily::Nt);
    return;
  }
  RegKey preload;
  if (!OpenRegKey(parent.get(), "preload", KEY_ALL_ACCESS, &preload)) return;
  for (int k = 1; k <= kPreloadSlots; ++k) {
    char name[12];
    wsprintfA(name, "%d", k);
    char stored[200];
    if (!QueryRegText(preload.get(), name, stored, sizeof stored)) {
      SetRegTextValue(preload.get(), name, entry);
      return;
    }
    PreloadMatch match = ComparePreloadEntry(stored, entry, WinFamily::Nt);
    if (match == PreloadMatch::Same) return;
    if (match == PreloadMatch::SuffixOnly) {
      SetRegTextValue(preload.get(), name, entry);
      return;
    }
  }
  SetRegTextValue(preload.get(), "49", entry);
}

void AddPreloadEntry9x(const char* entry) {
  RegKey list;
  if (!OpenRegKey(HKEY_CURRENT_USER, "keyboard layout\\preload", KEY_READ, &list)) {
    ShowFailure(LayoutFailure::OpenPreloadParent, WinFamily::Win9x);
    return;
  }
  for (int k = 1; k <= kPreloadSlots; ++k) {
    char name[12];
    wsprintfA(name, "%d", k);
    RegKey sub;
    if (!OpenRegKey(list.get(), name, KEY_ALL_ACCESS, &sub)) {
      if (CreateRegKey(list.get(), name, &sub)) SetRegTextValue(sub.get(), nullptr, entry);
      return;
    }
    char stored[200];
    if (!QueryRegText(sub.get(), nullptr, stored, sizeof stored)) continue;
    PreloadMatch match = ComparePreloadEntry(stored, entry, WinFamily::Win9x);
    if (match == PreloadMatch::Same) return;
    if (match == PreloadMatch::SuffixOnly) {
      SetRegTextValue(sub.get(), nullptr, entry);
      return;
    }
  }
  RegKey last;
  if (CreateRegKey(list.get(), "49", &last)) SetRegTextValue(last.get(), nullptr, entry);
}

}  // namespace

void AddPreloadEntry(const char* layoutName) {
  WinFamily family = CurrentFamily();
  char entry[kLayoutNameSize];
  PreloadEntryFor(layoutName, family, entry, sizeof entry);
  if (family == WinFamily::Nt)
    AddPreloadEntryNt(entry);
  else
    AddPreloadEntry9x(entry);
}
