#include "imereg/preload.h"

#include <windows.h>

#include <cstring>

#include "driver/run_state.h"
#include "driver/startup.h"
#include "imereg/ime_install.h"
#include "imereg/reg_text.h"
#include "resources/texts.h"

PreloadState g_preload;

namespace {

constexpr char kUserLayoutKey[] = "keyboard layout";
constexpr char kUserPreloadKey9x[] = "keyboard layout\\preload";
constexpr char kDefaultLayoutKey[] = ".DEFAULT\\keyboard layout";

void PositionName(int k, char* out) { wsprintfA(out, "%d", k); }

int ReadPreloadIds(WinFamily family) {
  if (family == WinFamily::Nt) {
    RegKey parent;
    if (!OpenRegKey(HKEY_CURRENT_USER, kUserLayoutKey, KEY_READ, &parent)) return -1;
    RegKey preload;
    if (!OpenRegKey(parent.get(), "preload", KEY_ALL_ACCESS, &preload)) return 0;
    for (int k = 1; k <= kPreloadSlots; ++k) {
      char name[12];
      PositionName(k, name);
      // A value too long for its slot ends the list here.
      if (!QueryRegText(preload.get(), name, g_preload.ids[k - 1], kPreloadIdSize)) return k - 1;
    }
    return kPreloadSlots;
  }
  RegKey list;
  if (!OpenRegKey(HKEY_CURRENT_USER, kUserPreloadKey9x, KEY_READ, &list)) return -1;
  for (int k = 1; k <= kPreloadSlots; ++k) {
    char name[12];
    PositionName(k, name);
    RegKey sub;
    if (!OpenRegKey(list.get(), name, KEY_ALL_ACCESS, &sub)) return k - 1;
    QueryRegText(sub.get(), nullptr, g_preload.ids[k - 1], kPreloadIdSize);  // "" when unread
  }
  return kPreloadSlots;
}

// The IME description of a layout, read over its name the way the scratch
// buffer is reused: a layout that is no IME keeps showing its name.
void DescribeLayout(HKL layout, char* buf, std::size_t cap, UINT limit, bool nameFirst) {
  std::memset(buf, 0, cap);
  if (nameFirst) GetKeyboardLayoutNameA(buf);
  g_ime.describeLayout(layout, buf, limit);
  buf[cap - 1] = '\0';
}

bool ActiveLayoutIsIme() {
  char buf[200];
  DescribeLayout(GetKeyboardLayout(0), buf, sizeof buf, 50, true);
  return IsImeDescription(buf);
}

// Writes positions first..last of the table as values "first".."last" of
// the NT list under root\layoutKey\preload. False when layoutKey cannot be
// opened.
bool WriteNtPositions(HKEY root, const char* layoutKey, int first, int last,
                      const int* order = nullptr) {
  RegKey parent;
  if (!OpenRegKey(root, layoutKey, KEY_READ, &parent)) return false;
  RegKey preload;
  if (!OpenRegKey(parent.get(), "preload", KEY_ALL_ACCESS, &preload)) return true;
  for (int k = first; k <= last; ++k) {
    char name[12];
    PositionName(k, name);
    int from = order ? order[k - first] : k;
    SetRegTextValue(preload.get(), name, g_preload.ids[from - 1]);
  }
  return true;
}

void Write9xPosition(HKEY list, int k, const char* id) {
  char name[12];
  PositionName(k, name);
  RegKey sub;
  if (OpenRegKey(list, name, KEY_ALL_ACCESS, &sub)) SetRegTextValue(sub.get(), nullptr, id);
}

// On Windows 9x an entry that could not be read leaves its slot empty;
// writing the table back would then empty or lose entries of the list.
bool SlotsReadable(int first, int last) {
  for (int k = first; k <= last; ++k)
    if (g_preload.ids[k - 1][0] == '\0') return false;
  return true;
}

}  // namespace

int ReadPreloadList() {
  WinFamily family = CurrentFamily();
  int count = ReadPreloadIds(family);
  g_preload.count = count < 0 ? 0 : count;
  if (count <= 0) return 0;

  RegKey layouts;
  if (!OpenRegKey(HKEY_LOCAL_MACHINE, kKeyboardLayoutsKey, KEY_READ, &layouts)) {
    g_preload.count = 0;
    return 0;
  }
  for (int k = 1; k <= g_preload.count; ++k) {
    char* text = g_preload.texts[k - 1];
    text[0] = '\0';
    // An unread identifier would name Keyboard Layouts itself.
    if (g_preload.ids[k - 1][0] == '\0') continue;
    RegKey key;
    if (OpenRegKey(layouts.get(), g_preload.ids[k - 1], KEY_ALL_ACCESS, &key))
      QueryRegText(key.get(), "layout text", text, kPreloadTextSize);
  }
  return g_preload.count;
}

int FindEarlierVersion() {
  g_preload.earlierFlag = 0;
  g_preload.earlierPosition = 0;
  g_preload.count = 0;
  if (DetectWindows64()) return 0;
  if (ReadPreloadList() == 0) return 0;
  for (int k = 1; k <= g_preload.count; ++k) {
    if (IsEarlierImeText(g_preload.texts[k - 1])) {
      g_preload.earlierPosition = k;
      g_preload.earlierFlag = 4;
      return 1;
    }
  }
  return 0;
}

int CheckDefaultImeBeforeInstall() {
  FindEarlierVersion();
  if (g_preload.earlierFlag == 4 && g_preload.earlierPosition == 1) {
    if (g_preload.count < 2) {
      MessageBoxW(nullptr, txt::kMsgDefaultOnlyIme, txt::kCaptionSetup, MB_OK);
      return 0;
    }
    MessageBoxW(nullptr, txt::kMsgDefaultIme, txt::kCaptionSetup, MB_OK);
    if (MessageBoxW(nullptr, txt::kAskMakeNonDefault, txt::kCaptionSetup, MB_YESNO) != IDYES)
      return 0;
    SwapFirstPreloadEntries();
    MessageBoxW(nullptr, txt::kMsgRestartThenInstall, txt::kCaptionSetup, MB_OK);
    return 0;
  }
  if (ActiveLayoutIsIme()) {
    MessageBoxW(nullptr, txt::kMsgActiveIme, txt::kCaptionSetup, MB_OK);
    return 0;
  }
  return 1;
}

void SwapFirstPreloadEntries() {
  if (!SlotsReadable(1, 2)) return;
  if (CurrentFamily() == WinFamily::Win9x) {
    RegKey list;
    if (!OpenRegKey(HKEY_CURRENT_USER, kUserPreloadKey9x, KEY_READ, &list)) return;
    Write9xPosition(list.get(), 2, g_preload.ids[0]);
    Write9xPosition(list.get(), 1, g_preload.ids[1]);
    return;
  }
  static const int swapped[] = {2, 1};
  if (!WriteNtPositions(HKEY_CURRENT_USER, kUserLayoutKey, 1, 2, swapped)) return;
  WriteNtPositions(HKEY_USERS, kDefaultLayoutKey, 1, 2, swapped);
}

void MovePreloadEntryToSecond() {
  if (g_preload.earlierFlag != 4 || g_preload.count < 3 || g_preload.earlierPosition < 3 ||
      g_machine.winMajor > 5)
    return;
  if (!SlotsReadable(2, g_preload.earlierPosition)) return;
  WinFamily family = CurrentFamily();
  MoveIdentifierToSecond(g_preload.ids, g_preload.count, g_preload.earlierPosition);
  if (family == WinFamily::Win9x) {
    RegKey list;
    if (!OpenRegKey(HKEY_CURRENT_USER, kUserPreloadKey9x, KEY_READ, &list)) return;
    for (int k = 2; k <= g_preload.count; ++k) Write9xPosition(list.get(), k, g_preload.ids[k - 1]);
    return;
  }
  if (!WriteNtPositions(HKEY_CURRENT_USER, kUserLayoutKey, 2, g_preload.count)) return;
  WriteNtPositions(HKEY_USERS, kDefaultLayoutKey, 2, g_preload.count);
}

void ActivateInstalledIme() {
  if (g_run.page < 7) return;
  if (ActiveLayoutIsIme()) return;
  if (!g_ime.installedLayout) {
    HKL layouts[50];
    int n = GetKeyboardLayoutList(50, layouts);
    for (int i = 0; i < n && i < 50; ++i) {
      char description[200];
      DescribeLayout(layouts[i], description, sizeof description, 80, false);
      if (IsImeDescription(description)) {
        g_ime.installedLayout = layouts[i];
        break;
      }
    }
  }
  if (g_ime.installedLayout) g_ime.activateLayout(g_ime.installedLayout, KLF_SETFORPROCESS);
}
