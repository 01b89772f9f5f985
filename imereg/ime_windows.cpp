#include "imereg/ime_windows.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "resources/texts.h"

namespace {

constexpr int kTitleChars = 200;  // 199 characters and a zero
// Room a line needs besides its title: the number and the line break.
constexpr std::size_t kLineRoom = kTitleChars + 32;

struct InUseScan {
  wchar_t* buffer = nullptr;  // the work buffer, or null when it cannot hold the list
  std::size_t chars = 0;      // its size in UTF-16 characters
  std::size_t listLen = 0;
};

HWND TopWindowOf(HWND parent) {
  // Owner and parent chains have no loops, but a bound costs nothing.
  for (int i = 0; i < 10000; ++i) {
    HWND up = GetParent(parent);
    if (!up) break;
    parent = up;
  }
  return parent;
}

void AppendLine(InUseScan* scan, HWND top) {
  if (!scan->buffer) return;
  wchar_t* line = scan->buffer + kInUseLineAt;
  int len = wsprintfW(line, txt::kInUseLine, g_ime.windowsInUse);
  len += GetWindowTextW(top, line + len, kTitleChars);
  line[len++] = L'\r';
  line[len++] = L'\n';
  line[len] = L'\0';
  // A list that would run past the end of the work buffer ends here.
  wchar_t* list = scan->buffer + kInUseListAt;
  if (kInUseListAt + scan->listLen + len + 1 > scan->chars) return;
  std::memcpy(list + scan->listLen, line, (len + 1) * sizeof(wchar_t));
  scan->listLen += len;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
  auto* scan = reinterpret_cast<InUseScan*>(param);
  char className[100] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, "UIVEMO") != 0) return TRUE;
  ++g_ime.windowsInUse;
  HWND parent = GetParent(window);
  if (parent) AppendLine(scan, TopWindowOf(parent));
  return TRUE;  // every window is visited
}

std::size_t Put(wchar_t* at, const wchar_t* text) {
  std::size_t n = std::wcslen(text);
  std::memcpy(at, text, n * sizeof(wchar_t));
  return n;
}

}  // namespace

void CountImeWindowsInUse() {
  InUseScan scan;
  if (g_run.work && g_run.workSize / sizeof(wchar_t) >= kInUseListAt + kLineRoom) {
    scan.buffer = reinterpret_cast<wchar_t*>(g_run.work);
    scan.chars = g_run.workSize / sizeof(wchar_t);
    scan.buffer[kInUseListAt] = L'\0';
  }
  g_ime.windowsInUse = 0;
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&scan));
  if (g_ime.windowsInUse == 0 || !scan.buffer) return;

  wchar_t* msg = scan.buffer;
  std::size_t at = wsprintfW(msg, txt::kMsgInUseHead, g_ime.windowsInUse);
  at += Put(msg + at, L"\r\n\r\n");
  // The list lies further on in the same buffer; the message catches up
  // with it from below, so a forward-safe move copies it.
  std::memmove(msg + at, msg + kInUseListAt, scan.listLen * sizeof(wchar_t));
  at += scan.listLen;
  at += Put(msg + at, L"\r\n\r\n");
  at += Put(msg + at, txt::kMsgInUseClose);
  at += Put(msg + at, L"\r\n");
  at += Put(msg + at, txt::kMsgInUseRestart);
  msg[at] = L'\0';
}
