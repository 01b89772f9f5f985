// Test bed tool: lists the message boxes open on the desktop, one line
// each, in UTF-8: "<X window id>\t<caption>\t<text>\t<window handle>", with
// backslash, tab, CR and LF escaped. "boxreader press HANDLE ID" presses
// the box's button ID (1 OK, 6 Yes, 7 No) when keys do not reach it.
// "boxreader where CLASS X Y" prints the screen position "SX SY" of the
// client point (X, Y) of the first window of that class, so a test can
// click it with the real mouse; "boxreader where-control CLASS ID" the
// centre of its control ID. Run by testbed/winbed.py while a program
// under test waits in a message box, because Wine's trace of the text is
// cut short.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
  std::string out;
  for (wchar_t c : w) {
    switch (c) {
      case L'\\': out += "\\\\"; continue;
      case L'\t': out += "\\t"; continue;
      case L'\r': out += "\\r"; continue;
      case L'\n': out += "\\n"; continue;
      default: break;
    }
    char buf[8];
    int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, buf, sizeof buf, nullptr, nullptr);
    out.append(buf, n > 0 ? n : 0);
  }
  return out;
}

std::wstring TextOf(HWND w) {
  wchar_t buf[8192];
  int n = GetWindowTextW(w, buf, 8192);
  return std::wstring(buf, n > 0 ? n : 0);
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM param) {
  wchar_t cls[32];
  GetClassNameW(child, cls, 32);
  auto* best = reinterpret_cast<std::wstring*>(param);
  if (lstrcmpiW(cls, L"Static") == 0) {
    std::wstring t = TextOf(child);
    if (t.size() > best->size()) *best = t;
  }
  return TRUE;
}

BOOL CALLBACK EachWindow(HWND w, LPARAM param) {
  wchar_t cls[32];
  GetClassNameW(w, cls, 32);
  if (!IsWindowVisible(w) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  std::wstring text;
  EnumChildWindows(w, LongestStatic, reinterpret_cast<LPARAM>(&text));
  auto xid = reinterpret_cast<UINT_PTR>(GetPropA(w, "__wine_x11_whole_window"));
  auto* out = reinterpret_cast<std::string*>(param);
  *out += std::to_string(static_cast<unsigned long long>(xid)) + "\t" + Utf8(TextOf(w)) + "\t" +
          Utf8(text) + "\t" +
          std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w))) + "\n";
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && lstrcmpA(argv[1], "press") == 0) {
    HWND box = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_strtoui64(argv[2], nullptr, 10)));
    int id = atoi(argv[3]);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    return 0;
  }
  bool control = argc == 4 && lstrcmpA(argv[1], "where-control") == 0;
  if (control || (argc == 5 && lstrcmpA(argv[1], "where") == 0)) {
    HWND w = FindWindowA(argv[2], nullptr);
    if (w && control) w = GetDlgItem(w, atoi(argv[3]));
    if (!w) return 1;
    POINT pt{atoi(argv[3]), atoi(argv[4])};
    if (control) {
      RECT rc;
      GetClientRect(w, &rc);
      pt = POINT{rc.right / 2, rc.bottom / 2};
    }
    ClientToScreen(w, &pt);
    std::string out = std::to_string(pt.x) + " " + std::to_string(pt.y) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
    return 0;
  }
  std::string out;
  EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&out));
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
            nullptr);
  return 0;
}
