#include "driver/deploy.h"

#include <windows.h>

#include <string>

#include "archive/extract.h"
#include "driver/placement.h"
#include "driver/run_state.h"
#include "driver/startup.h"
#include "imereg/system_entries.h"
#include "location/file_ops.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "location/settings_files.h"
#include "resources/texts.h"
#include "ui/pages.h"

namespace {

std::string SystemDirectory() {
  char buf[MAX_PATH];
  UINT n = GetSystemDirectoryA(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(buf) : std::string();
}

// While it lives, a 32-bit process on 64-bit Windows writes to the real
// system directory instead of the WOW64 one. Nothing happens elsewhere.
class RealSystemDirectory {
 public:
  RealSystemDirectory() {
    if (!MustLiftRedirection(DetectWindows64(), sizeof(void*) == 8)) return;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    revert_ = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    lifted_ = disable && revert_ && disable(&old_);
  }
  ~RealSystemDirectory() {
    if (lifted_) revert_(old_);
  }
  RealSystemDirectory(const RealSystemDirectory&) = delete;
  RealSystemDirectory& operator=(const RealSystemDirectory&) = delete;

 private:
  BOOL(WINAPI* revert_)(PVOID) = nullptr;
  PVOID old_ = nullptr;
  bool lifted_ = false;
};

void ReportCopyFailure(const std::string& destination) {
  std::string text = FormatText(txt::kMsgCopyFailedFmt, destination);
  MessageBoxA(nullptr, text.c_str(), txt::kCaptionQingfengSetupGbk, MB_OK);
}

// A module in use cannot be overwritten but can be moved: one retry after
// moving the old one aside.
void PlaceModule(const std::string& source, const std::string& destination) {
  SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return;
  RenameAside(destination.c_str());
  if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return;
  ReportCopyFailure(destination);
}

void PlaceUninstaller(const std::string& source, const std::string& destination) {
  SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  if (!CopyFileA(source.c_str(), destination.c_str(), FALSE)) ReportCopyFailure(destination);
}

void SwapCompanionProgram() {
  DeleteForReplace(InInstallDir("tavovemo.exe").c_str());
  MoveFileA(InInstallDir("tavovem6.exe").c_str(), InInstallDir("tavovemo.exe").c_str());
}

void ExtractPayload() {
  for (const char* name : {"tavovem6.exe", "tavovemo.exe"}) {
    std::string path = InInstallDir(name);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    DeleteForReplace(path.c_str());
  }
  int complete = g_run.work ? ExtractArchive(g_run.payload, g_run.payloadSize, g_run.work,
                                             g_run.workSize)
                            : 0;
  if (!complete) {
    MessageBoxA(nullptr, txt::kMsgExtractIncomplete, txt::kCaptionQingfengSetupGbk, MB_OK);
  } else if (g_run.oldDataState == 1 &&
             MessageBoxW(nullptr, txt::kMsgKeepOldData, txt::kCaptionSetup, MB_YESNO) == IDYES) {
    g_run.oldDataState = 2;
  }
}

void PlaceModules(const DeployPlan& plan, const std::string& system) {
  for (int i = 0; i < plan.moduleCount; ++i) {
    const ModulePlacement& m = plan.modules[i];
    std::string source = InInstallDir(m.source);
    if (m.patchFirst) PatchVersionText(source.c_str());
    if (m.dest == SystemDir::Wow64) {
      PlaceModule(source, std::string(g_machine.wow64Dir) + "\\tavohu4.ime");
    } else {
      RealSystemDirectory real;
      PlaceModule(source, system + "\\tavohu4.ime");
    }
  }
}

}  // namespace

void DeployImeModules(int pass) {
  CreateDirectoryA(g_location.dir, nullptr);
  if (g_machine.winMajor > 5) LowerDirectoryIntegrity();
  RepaintInstallPathPage();
  Sleep(50);

  if (pass == 0) ExtractPayload();
  RepaintInstallPathPage();

  SetFileAttributesA(InInstallDir("tavohu32.ime").c_str(), FILE_ATTRIBUTE_ARCHIVE);
  CopyFileA(InInstallDir("tavohu4.ime").c_str(), InInstallDir("tavohu32.ime").c_str(), FALSE);
  CopyFileA(InInstallDir("tavocyzk.tv1").c_str(), InInstallDir("tavocyzk.tvu").c_str(), FALSE);
  CopyFileA(InInstallDir("tavopyck.tv1").c_str(), InInstallDir("tavopyck.tvu").c_str(), FALSE);
  Sleep(50);
  DrawProgress(0, 64);

  const bool windows64 = DetectWindows64();
  const DeployPlan plan =
      PlanDeployment(pass, windows64, g_machine.winMajor, g_machine.oemCodePage == 950);
  const std::string system = SystemDirectory();

  if (plan.companion == CompanionSwap::BeforeModules) SwapCompanionProgram();
  PlaceModules(plan, system);
  if (plan.uninstaller) {
    RealSystemDirectory real;
    PlaceUninstaller(InInstallDir(plan.uninstaller), system + "\\tavodel.exe");
  }
  if (plan.companion == CompanionSwap::AfterUninstaller) SwapCompanionProgram();

  if (pass == 0) {
    PatchVersionText(InInstallDir("setupw64.exe").c_str());
    WriteUninstallEntry();
  } else {
    for (const char* variant : {"tavo320.ime", "tavo321.ime", "tavo640.ime", "tavo641.ime"})
      DeleteForReplace(InInstallDir(variant).c_str());
  }
}
