#include "imereg/ime_windows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "location/holders.h"
#include "win_fixture.h"

namespace {

const wchar_t kEditorTitle[] = L"记事本 - 甲.txt";
const wchar_t kHelperTitle[] = L"第二个程序";

std::wstring HelperPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  return path.substr(0, path.rfind(L'\\') + 1) + L"uivemo_helper.exe";
}

void RegisterClasses() {
  WNDCLASSW cls{};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"UIVEMO";
  RegisterClassW(&cls);
  cls.lpszClassName = L"TavoTestWindow";
  RegisterClassW(&cls);
}

HWND Make(const wchar_t* cls, const wchar_t* title, DWORD style, HWND owner) {
  return CreateWindowExW(0, cls, title, style, 0, 0, 100, 50, owner, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

struct Found {
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectUiWindows(HWND w, LPARAM param) {
  char cls[100] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (lstrcmpA(cls, "UIVEMO") == 0) reinterpret_cast<Found*>(param)->windows.push_back(w);
  return TRUE;
}

// A zero-filled work buffer for the run, as the setup window holds one.
class WorkBuffer : public ::testing::Test {
 protected:
  void SetUp() override {
    g_run.work = block_.data();
    g_run.workSize = block_.size();
    RegisterClasses();
  }
  void TearDown() override {
    g_run.work = nullptr;
    g_run.workSize = 0;
  }
  std::wstring Message() const { return reinterpret_cast<const wchar_t*>(block_.data()); }
  GlobalBlock block_{GMEM_MOVEABLE | GMEM_ZEROINIT, kWorkBufferSize};
};

}  // namespace

TEST_F(WorkBuffer, NoWindowOfTheClassNoMessage) {
  ASSERT_TRUE(block_.ok());
  CountImeWindowsInUse();
  EXPECT_EQ(g_ime.windowsInUse, 0);
  EXPECT_EQ(Message(), L"");
}

TEST_F(WorkBuffer, ProgramsUsingTheIMEAreListedByTheTitlesOfTheirTopWindows) {
  ASSERT_TRUE(block_.ok());
  // A second program with one window of the class.
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"tavo-uivemo-ready");
  HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, L"tavo-uivemo-quit");
  std::wstring cmd = L"\"" + HelperPath() + L"\" tavo-uivemo-ready tavo-uivemo-quit \"" +
                     kHelperTitle + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                             &pi));
  ASSERT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);

  // This program: one window of the class without a parent, and two under
  // one titled window, one of them through an owned panel.
  HWND orphan = Make(L"UIVEMO", L"", WS_POPUP, nullptr);
  HWND editor = Make(L"TavoTestWindow", kEditorTitle, WS_OVERLAPPEDWINDOW, nullptr);
  HWND direct = Make(L"UIVEMO", L"", WS_POPUP, editor);
  HWND panel = Make(L"TavoTestWindow", L"panel", WS_POPUP, editor);
  HWND nested = Make(L"UIVEMO", L"", WS_POPUP, panel);
  ASSERT_TRUE(orphan && editor && direct && panel && nested);

  CountImeWindowsInUse();

  // The expected lines, in the order the system enumerates the windows;
  // the window without a parent takes a number but gives no line.
  Found found;
  EnumWindows(CollectUiWindows, reinterpret_cast<LPARAM>(&found));
  ASSERT_EQ(found.windows.size(), 4u);
  std::wstring lines;
  int lineCount = 0;
  for (size_t i = 0; i < found.windows.size(); ++i) {
    HWND w = found.windows[i];
    if (w == orphan) continue;
    const wchar_t* title = (w == direct || w == nested) ? kEditorTitle : kHelperTitle;
    lines += L"\u3000\u3000" + std::to_wstring(i + 1) + L"\uff1a" + title + L"\r\n";
    ++lineCount;
  }
  EXPECT_EQ(lineCount, 3);
  EXPECT_EQ(g_ime.windowsInUse, 4);
  EXPECT_EQ(Message(), L"智能岚溪安软件装检测到有下列 4 个软件在使用智能岚溪输入法:\r\n\r\n" + lines +
                           L"\r\n\r\n请关闭使上述软件后再继续安装！\r\n"
                           L"如无法关闭，则请重新启动机器后立即安装！");

  SetEvent(quit);
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(ready);
  CloseHandle(quit);
  for (HWND w : {nested, panel, direct, editor, orphan}) DestroyWindow(w);
}

TEST_F(WorkBuffer, AWindowWithoutATitleGivesTheNumberOnly) {
  ASSERT_TRUE(block_.ok());
  HWND untitled = Make(L"TavoTestWindow", L"", WS_OVERLAPPEDWINDOW, nullptr);
  HWND ui = Make(L"UIVEMO", L"", WS_POPUP, untitled);
  CountImeWindowsInUse();
  EXPECT_EQ(g_ime.windowsInUse, 1);
  EXPECT_EQ(Message(), L"智能岚溪安软件装检测到有下列 1 个软件在使用智能岚溪输入法:\r\n\r\n"
                       L"\u3000\u30001\uff1a\r\n\r\n\r\n请关闭使上述软件后再继续安装！\r\n"
                       L"如无法关闭，则请重新启动机器后立即安装！");
  DestroyWindow(ui);
  DestroyWindow(untitled);
}

TEST_F(WorkBuffer, ManyWindowsNeverWritePastTheWorkBuffer) {
  ASSERT_TRUE(block_.ok());
  // A long title and a buffer whose end leaves room for only a few lines;
  // the bytes after it must stay untouched.
  const std::wstring title(199, L'标');
  HWND top = Make(L"TavoTestWindow", title.c_str(), WS_OVERLAPPEDWINDOW, nullptr);
  std::vector<HWND> uis;
  for (int i = 0; i < 20; ++i) uis.push_back(Make(L"UIVEMO", L"", WS_POPUP, top));
  const size_t usable = (kInUseListAt + 5 * 210) * sizeof(wchar_t);
  std::memset(block_.data() + usable, 0x5A, block_.size() - usable);
  g_run.workSize = usable;

  CountImeWindowsInUse();
  EXPECT_EQ(g_ime.windowsInUse, 20);
  std::wstring msg = Message();
  EXPECT_LT(msg.size() * sizeof(wchar_t), usable);
  EXPECT_NE(msg.find(L"下列 20 个软件"), std::wstring::npos);
  EXPECT_NE(msg.find(L"如无法关闭，则请重新启动机器后立即安装！"), std::wstring::npos);
  EXPECT_NE(msg.find(title), std::wstring::npos);
  for (size_t i = usable; i < block_.size(); ++i)
    ASSERT_EQ(block_.data()[i], 0x5A) << "written past the buffer at " << i;

  for (HWND w : uis) DestroyWindow(w);
  DestroyWindow(top);
}
