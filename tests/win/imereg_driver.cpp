// Runs one IME registration operation in a fresh process, so that the
// end-to-end tests can answer its message boxes and read the registry it
// leaves. The exit code is the operation's result where it has one.
//
//   imereg_driver check          CheckDefaultImeBeforeInstall
//   imereg_driver check-active   the same, with the active layout
//                                describing itself as the IME
//   imereg_driver manual         RegisterLayoutManually
//   imereg_driver manual-9x      the same, as on Windows 98
#include <windows.h>

#include <cstring>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "imereg/layout_register.h"
#include "imereg/preload.h"
#include "resources/texts.h"

namespace {

UINT WINAPI DescribeAsIme(HKL, LPSTR buf, UINT cap) {
  if (!buf || cap == 0) return 16;
  lstrcpynA(buf, txt::kLayoutDescGbk, static_cast<int>(cap));
  return 16;
}

DWORD WINAPI Windows98Version() { return 0xC0000A04; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 100;
  g_machine.oemCodePage = GetOEMCP();
  const char* command = argv[1];
  if (std::strcmp(command, "check") == 0) return CheckDefaultImeBeforeInstall();
  if (std::strcmp(command, "check-active") == 0) {
    g_ime.describeLayout = DescribeAsIme;
    return CheckDefaultImeBeforeInstall();
  }
  if (std::strcmp(command, "manual-9x") == 0) g_ime.getVersion = Windows98Version;
  if (std::strcmp(command, "manual") == 0 || std::strcmp(command, "manual-9x") == 0) {
    RegisterLayoutManually();
    return 0;
  }
  return 101;
}
