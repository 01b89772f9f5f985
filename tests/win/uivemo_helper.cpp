// A second program that uses the IME, for the in-use count: a titled main
// window owning one window of the IME's user-interface class. Tells the
// test through the event named by its first argument that its windows are
// there, and ends when the event named by its second is set.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 4) return 2;
  WNDCLASSW cls{};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = instance;
  cls.lpszClassName = L"UIVEMO";
  RegisterClassW(&cls);
  cls.lpszClassName = L"TavoHelperMain";
  RegisterClassW(&cls);
  HWND main = CreateWindowExW(0, L"TavoHelperMain", argv[3], WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, instance, nullptr);
  HWND ui = CreateWindowExW(0, L"UIVEMO", L"", WS_POPUP, 0, 0, 10, 10, main, nullptr, instance,
                            nullptr);
  if (!main || !ui) return 3;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
  HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
  if (!ready || !quit) return 4;
  SetEvent(ready);
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &quit, FALSE, 60000, QS_ALLINPUT);
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return 0;
}
