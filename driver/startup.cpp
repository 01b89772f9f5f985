#include "driver/startup.h"

#include <cstring>

#include "driver/install_sequence.h"
#include "driver/run_mode.h"
#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "location/file_ops.h"
#include "location/holders.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "resources/texts.h"
#include "ui/setup_window.h"

namespace {

constexpr char kProbeText[] = "tavoisadmin";

int MessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

bool DetectWindows64() {
  g_machine.winMajor = 0;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 156 bytes
  GetVersionExA(&info);
  g_machine.winMajor = info.dwMajorVersion;
  if (g_machine.winMajor <= 5) return false;
  Wow64Directory(g_machine.wow64Dir, sizeof g_machine.wow64Dir);
  return g_machine.wow64Dir[0] != '\0' && PathExists(g_machine.wow64Dir);
}

bool ProbeAdminRights() {
  DetectWindows64();
  if (g_machine.winMajor < 6) return false;

  char kept[kInstallDirSize];
  std::memcpy(kept, g_location.dir, sizeof kept);

  CopyText(g_location.dir, kInstallDirSize, kProbeText);
  PersistInstallDirectory();
  g_location.dir[0] = '\0';
  ResolveInstallDirectory();

  char probe[kInstallDirSize];
  std::memcpy(probe, g_location.dir, sizeof probe);
  std::memcpy(g_location.dir, kept, sizeof kept);
  PersistInstallDirectory();

  std::size_t n = std::strlen(probe);
  if (n > 0 && probe[n - 1] == '\\') probe[n - 1] = '\0';
  return std::strcmp(probe, kProbeText) != 0;
}

void ReadDirectoryArgument(const char* args) {
  ParseDirectoryArgument(args, g_location.dir, kInstallDirSize);
}

void RunRegistration(const char* args) {
  ReadDirectoryArgument(args);
  PersistInstallDirectory();
  InstallImeWithSystem();  // no manual fallback in this run
  MessageBoxW(nullptr, txt::kMsgRegistered, txt::kCaptionTavo, MB_OK);
}

void RunSilentInstall() {
  HRSRC res = FindResourceA(nullptr, "VEMOTVZ", "TVZ");
  HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
  const void* image = loaded ? LockResource(loaded) : nullptr;
  GlobalBlock work(GMEM_MOVEABLE | GMEM_ZEROINIT, kWorkBufferSize);
  if (!image || !work.ok()) {
    // Without its payload or its work memory the install could only leave
    // a half-made product behind; say so and stop before touching anything.
    MessageBoxW(nullptr, txt::kMsgPayloadMissing, txt::kCaptionSetup, MB_OK);
    return;
  }
  g_run.payload = static_cast<const unsigned char*>(image);
  g_run.payloadSize = SizeofResource(nullptr, res);
  g_run.work = work.data();
  g_run.workSize = work.size();
  RunInstallSequence();
  g_run.work = nullptr;
  g_run.workSize = 0;
}

int SetupMain(HINSTANCE instance, HINSTANCE previous, const char* args, int show) {
  if (!args) args = "";
  g_run.page = 0;
  g_machine.oemCodePage = GetOEMCP();
  g_run.setupMode = kSetupModeInteractive;

  ResolveInstallDirectory();
  if (ProbeAdminRights()) {
    MessageBoxW(nullptr, txt::kMsgNeedAdmin, txt::kCaptionTavo, MB_OK);
    return 0;
  }

  CommandTokens tokens = ReadCommandTokens(args);
  g_run.setupMode = tokens.setupMode;
  switch (ChooseRunMode(tokens, DetectWindows64())) {
    case RunMode::Registration:
      RunRegistration(args);
      return 0;
    case RunMode::Silent:
      RunSilentInstall();
      return 0;
    case RunMode::Interactive:
      break;
  }

  if (previous) return 0;
  g_run.instance = instance;
  if (!RegisterSetupWindowClass(instance)) return 0;
  if (!CreateSetupWindow(instance, show)) return 0;
  MessageLoop();
  return 0;
}
