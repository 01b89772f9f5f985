#include "ui/setup_window.h"

#include <cstring>
#include <memory>

#include "archive/backup.h"
#include "archive/extract.h"
#include "driver/install_sequence.h"
#include "driver/run_state.h"
#include "driver/startup.h"
#include "imereg/ime_install.h"
#include "imereg/ime_windows.h"
#include "imereg/preload.h"
#include "location/holders.h"
#include "location/install_check.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "location/settings_files.h"
#include "resources/texts.h"
#include "ui/click_rules.h"
#include "ui/gdi_holders.h"
#include "ui/pages.h"
#include "ui/window_objects.h"

namespace {

constexpr wchar_t kClassName[] = L"installWClass";
constexpr int kWidth = 400;
constexpr int kHeight = 310;
constexpr UINT_PTR kFinishTimer = 2;
constexpr UINT kFinishDelayMs = 1600;

// What the window holds beyond the run state: the two site fields, the work
// memory, and whether an install click is under way.
struct SetupWindowState {
  HWND unitSiteField = nullptr;
  HWND governmentSiteField = nullptr;
  std::unique_ptr<GlobalBlock> work;
  HGLOBAL payloadResource = nullptr;
  // The install runs inside a click; its message boxes keep the window
  // alive, so clicks and the close box can arrive meanwhile. They must not
  // start a second install or free the work buffer under the first.
  bool busy = false;
};

SetupWindowState g_window;

HWND CreateField(HWND parent, int x, int y, HINSTANCE instance) {
  return CreateWindowExA(0, "EDIT", " ", WS_CHILD | ES_LEFT, x, y, 230, 20, parent, nullptr,
                         instance, nullptr);
}

void EndProgram(HWND window) { PostMessageW(window, WM_DESTROY, 0, 0); }

void ShowClosingMessage() {
  if (CheckInstallation() == 1) return;
  MessageBoxW(nullptr, g_run.restartNeeded == 1 ? txt::kMsgDoneRestartNow : txt::kMsgDoneMayRestart,
              txt::kCaptionTavo, MB_OK);
}

void ShowField(HWND field) {
  ShowWindow(field, SW_HIDE);
  ShowWindow(field, SW_SHOW);
}

void DestroyField(HWND* field) {
  if (!*field) return;
  ShowWindow(*field, SW_HIDE);
  DestroyWindow(*field);
  *field = nullptr;
}

// Takes the payload resource and the work memory. False when either is
// missing: no page could show its picture and no install could finish.
bool TakePayloadAndWork() {
  HRSRC res = FindResourceA(g_run.instance, "VEMOTVZ", "TVZ");
  g_window.payloadResource = res ? LoadResource(g_run.instance, res) : nullptr;
  const void* image = g_window.payloadResource ? LockResource(g_window.payloadResource) : nullptr;
  if (!image) return false;
  g_run.payload = static_cast<const unsigned char*>(image);
  g_run.payloadSize = SizeofResource(g_run.instance, res);

  g_window.work = std::make_unique<GlobalBlock>(GMEM_MOVEABLE | GMEM_ZEROINIT, kWorkBufferSize);
  if (!g_window.work->ok()) return false;
  g_run.work = g_window.work->data();
  g_run.workSize = g_window.work->size();
  return true;
}

LRESULT OnCreate(HWND window) {
  g_run.edition = 0;
  if (g_machine.oemCodePage == 950) SetWindowTextW(window, txt::kWindowTitleBig5);
  g_run.setupWindow = window;
  CreateWindowObjects();
  if (!TakePayloadAndWork()) {
    MessageBoxW(nullptr, txt::kMsgPayloadMissing, txt::kCaptionSetup, MB_OK);
    return -1;  // the window is not made; the program ends
  }
  g_run.oldDataState = 0;
  if (BackupUserData()) g_run.oldDataState = 1;
  return 0;
}

void OnDestroy() {
  g_run.work = nullptr;
  g_run.workSize = 0;
  g_window.work.reset();
  g_run.payload = nullptr;
  g_run.payloadSize = 0;
  if (g_window.payloadResource) FreeResource(g_window.payloadResource);
  g_window.payloadResource = nullptr;
  DeleteWindowObjects();
  PostQuitMessage(0);
}

void OnPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  int page = g_run.page;
  if (page < 1)
    PaintLoadingPage(dc);
  else if (page <= 4)
    PaintSiteAddressPage(dc);
  else if (page <= 6)
    PaintInstallPathPage(dc);
  else if (page == 7)
    PaintWorkingPage(dc);
  else
    PaintFinishedPage(dc);
  EndPaint(window, &ps);
}

void OnTimer(HWND window) {
  KillTimer(window, kFinishTimer);
  g_run.page = 8;
  SetWindowTextA(g_run.installPathField, "");  // now the name box
  InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

void AcceptSiteAddresses() {
  GetWindowTextA(g_window.unitSiteField, g_sites.unitSite, kSiteTextSize);
  GetWindowTextA(g_window.governmentSiteField, g_sites.governmentSite, kSiteTextSize);
  if (g_run.page == 0) {
    g_run.page = 1;
    return;
  }
  DestroyField(&g_window.governmentSiteField);
  DestroyField(&g_window.unitSiteField);
  ShowField(g_run.installPathField);
  ResolveInstallDirectory();
  if (std::strlen(g_location.dir) < 3) std::strcpy(g_location.dir, kDefaultInstallDir);
  SetWindowTextA(g_run.installPathField, g_location.dir);
  InvalidateRect(g_run.setupWindow, nullptr, FALSE);
  WriteSettingsFiles();
  g_run.page = 6;
}

namespace {

void SiteAddressStep(HWND window) {
  {
    WindowDc dc(window);
    if (dc.ok()) PaintSiteAddressPage(dc.get());
  }
  ShowField(g_window.governmentSiteField);
  ShowField(g_window.unitSiteField);
  if (g_run.page == 0) LoadSiteAddresses(g_window.unitSiteField, g_window.governmentSiteField);
  ResolveInstallDirectory();
  AcceptSiteAddresses();
  InvalidateRect(window, nullptr, FALSE);
}

void InstallClick(HWND window) {
  g_run.page = 7;
  if (CheckDefaultImeBeforeInstall() == 0) {
    EndProgram(window);
    return;
  }
  CountImeWindowsInUse();
  if (g_ime.windowsInUse > 0) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(g_run.work), txt::kCaptionTavo, MB_OK);
    g_run.page = 6;
    return;
  }
  GetWindowTextA(g_run.installPathField, g_location.dir, 198);
  if (ValidateInstallDirectory(g_location.dir) == 1) {
    MessageBoxW(nullptr, txt::kMsgPathRejected, txt::kCaptionTavo, MB_OK);
    std::strcpy(g_location.dir, kDefaultInstallDir);
    SetWindowTextA(g_run.installPathField, g_location.dir);
    g_run.page = 6;
    return;
  }
  RunInstallSequence();
  VerifyPayloadAndInstallSkin();
  WriteStatusWindowRecord();
  if (g_run.oldDataState == 2) RestoreUserData();
  if (DetectWindows64()) {
    InvalidateRect(window, nullptr, FALSE);
    SetTimer(window, kFinishTimer, kFinishDelayMs, nullptr);
    return;
  }
  ShowClosingMessage();
  EndProgram(window);
}

void OnClick(HWND window, LPARAM position) {
  if (g_window.busy) return;
  unsigned x = LOWORD(position);
  unsigned y = HIWORD(position);
  switch (DecideClick(g_run.page, x, y)) {
    case ClickAction::None:
      return;
    case ClickAction::EndProgram:
      EndProgram(window);
      return;
    case ClickAction::ClosingThenEnd:
      g_window.busy = true;
      ShowClosingMessage();
      g_window.busy = false;
      EndProgram(window);
      return;
    case ClickAction::SiteAddressStep:
      SiteAddressStep(window);
      return;
    case ClickAction::InstallClick:
      g_window.busy = true;
      InstallClick(window);
      g_window.busy = false;
      return;
    case ClickAction::SecondFinished:
      g_run.page = 9;
      InvalidateRect(window, nullptr, FALSE);
      return;
    case ClickAction::Repaint:
      InvalidateRect(window, nullptr, FALSE);
      return;
  }
}

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
  // The vertical centring uses 300, not the window's 310.
  HWND window = CreateWindowExW(0, kClassName, title, WS_SYSMENU, (screenW - kWidth) / 2,
                                (screenH - 300) / 2, kWidth, kHeight, nullptr, nullptr, instance,
                                nullptr);
  if (!window) return 0;
  g_run.installPathField = CreateField(window, 120, 195, instance);
  g_window.governmentSiteField = CreateField(window, 130, 195, instance);
  g_window.unitSiteField = CreateField(window, 130, 165, instance);
  ShowWindow(window, show);
  UpdateWindow(window);
  return 1;
}

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SETFOCUS:
      SetFocus(g_run.installPathField);
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_TIMER:
      OnTimer(window);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      OnClick(window, lParam);
      return 0;
    case WM_MOUSEMOVE:
      return 0;
    case WM_CLOSE:
      if (g_window.busy) return 0;  // the close box waits for the install
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
