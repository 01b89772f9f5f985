#include "driver/install_sequence.h"

#include <windows.h>

#include <string>

#include "driver/deploy.h"
#include "driver/run_mode.h"
#include "driver/run_state.h"
#include "driver/startup.h"
#include "imereg/ime_install.h"
#include "imereg/preload.h"
#include "imereg/system_entries.h"
#include "location/file_ops.h"
#include "location/install_dir.h"
#include "location/settings_files.h"
#include "resources/texts.h"

namespace {

// The typed directory, at most 197 characters; the resolved one when
// there is no field to read.
void TakeInstallDirectory() {
  if (g_run.setupMode == kSetupModeSilent || !g_run.installPathField) {
    ResolveInstallDirectory();
    return;
  }
  GetWindowTextA(g_run.installPathField, g_location.dir, 198);
}

std::string SystemModulePath() {
  char system[MAX_PATH];
  UINT n = GetSystemDirectoryA(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(system) + "\\tavohu4.ime";
}

}  // namespace

void RunInstallSequence() {
  TakeInstallDirectory();
  PersistInstallDirectory();
  CreateDirectoryA(g_location.dir, nullptr);
  CreateDirectoryA((std::string(g_location.dir) + "filer\\").c_str(), nullptr);
  WriteSettingsFiles();

  FindEarlierVersion();
  g_run.restartNeeded = 0;
  if (g_preload.earlierFlag == 4) {
    // The earlier module must make way; a loaded one is moved aside.
    std::string module = SystemModulePath();
    if (DeleteForReplace(module.c_str()) == -1 && RenameAside(module.c_str()) == -1) {
      g_run.restartNeeded = 1;
      MessageBoxW(nullptr, txt::kMsgOldImeInUse, txt::kCaptionSetup, MB_OK);
      return;
    }
  }

  DeployImeModules(0);
  RegisterImeLayout();
  if (g_machine.winMajor <= 5) {
    FindEarlierVersion();
    MovePreloadEntryToSecond();
  }
  DeployImeModules(1);
  WriteUserAgentToken();
  WriteAutostartValue((std::string(g_location.dir) + "tavovemo.exe tv").c_str());

  if (DetectWindows64()) {
    std::string command =
        std::string(g_location.dir) + "setupw64.exe regtv32=" + g_location.dir;
    WinExec(command.c_str(), SW_SHOW);
  }
}
