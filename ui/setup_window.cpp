#include "ui/setup_window.h"

#include "driver/run_state.h"
#include "driver/startup.h"
#include "resources/texts.h"

namespace {

constexpr wchar_t kClassName[] = L"installWClass";
constexpr int kWidth = 400;
constexpr int kHeight = 310;

}  // namespace

ATOM RegisterSetupWindowClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.style = 0;
  wc.lpfnWndProc = SetupWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"tavohu");
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszMenuName = L"install";
  wc.lpszClassName = kClassName;
  return RegisterClassW(&wc);
}

int CreateSetupWindow(HINSTANCE instance, int show) {
  g_run.instance = instance;
  int screenW = GetSystemMetrics(SM_CXSCREEN);
  int screenH = GetSystemMetrics(SM_CYSCREEN);
  const wchar_t* title = DetectWindows64() ? txt::kWindowTitle3264 : txt::kWindowTitle32;
  if (g_machine.oemCodePage == 950) title = txt::kWindowTitleBig5;
  // The vertical centring uses 300, not the window's 310.
  HWND window = CreateWindowExW(0, kClassName, title, WS_SYSMENU, (screenW - kWidth) / 2,
                                (screenH - 300) / 2, kWidth, kHeight, nullptr, nullptr, instance,
                                nullptr);
  if (!window) return 0;
  ShowWindow(window, show);
  UpdateWindow(window);
  return 1;
}

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
