// Test driver for the options dialog: shows it the way the install does
// (owned by a setup window, the template chosen by the OEM code page) so
// the end-to-end tests can photograph and answer it.
//   dialog_driver [TEMPLATE]   setup window stand-in at 60,40; TEMPLATE
//                              overrides the code page's choice
// Prints "RESULT: at X,Y" (the dialog's window corner once it shows) and
// "RESULT: dialog D mode M skin S" when the dialog has ended.
#include <windows.h>

#include <cstdio>

#include "driver/run_state.h"
#include "ui/options_dialog.h"

namespace {

void CALLBACK NoteDialogCorner(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA("#32770", nullptr);
  RECT r;
  if (!dialog || !GetWindowRect(dialog, &r)) return;
  KillTimer(nullptr, timer);
  std::printf("RESULT: at %ld,%ld\n", r.left, r.top);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  g_machine.oemCodePage = GetOEMCP();
  g_run.instance = GetModuleHandleA(nullptr);
  g_run.setupWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 60, 40,
                                      480, 360, nullptr, nullptr, g_run.instance, nullptr);
  g_run.statusWindowMode = 1;
  g_run.skinChoice = 1;
  SetTimer(nullptr, 0, 100, NoteDialogCorner);
  const char* name = g_machine.oemCodePage == 950 ? "PYKEYB" : "PYKEY";
  if (argc > 1) name = argv[1];
  INT_PTR r = DialogBoxParamA(g_run.instance, name, g_run.setupWindow, OptionsDialogProc, 0);
  std::printf("RESULT: dialog %d mode %d skin %d\n", static_cast<int>(r), g_run.statusWindowMode,
              g_run.skinChoice);
  return 0;
}
