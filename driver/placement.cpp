#include "driver/placement.h"

DeployPlan PlanDeployment(int pass, bool windows64, unsigned long winMajor, bool codePage950) {
  const char* variant32 = codePage950 ? "tavo321.ime" : "tavo320.ime";
  const char* variant64 = codePage950 ? "tavo641.ime" : "tavo640.ime";
  const bool first = pass == 0;
  DeployPlan plan{};
  if (windows64) {
    plan.modules[0] = {SystemDir::Wow64, first ? variant32 : "tavohu32.ime", first};
    plan.modules[1] = {SystemDir::System, first ? variant64 : "tavohu64.ime", first};
    plan.moduleCount = 2;
    plan.uninstaller = first ? "tvkdel64.exe" : nullptr;
    plan.companion = first ? CompanionSwap::AfterUninstaller : CompanionSwap::None;
  } else if (winMajor >= 6) {
    plan.modules[0] = {SystemDir::System, first ? variant32 : "tavohu32.ime", first};
    plan.moduleCount = 1;
    plan.uninstaller = first ? "tavodel.exe" : nullptr;
    plan.companion = first ? CompanionSwap::BeforeModules : CompanionSwap::None;
  } else {
    plan.modules[0] = {SystemDir::System, first ? variant32 : "tavohu4.ime", first};
    plan.moduleCount = 1;
    plan.uninstaller = first ? "tavodel.exe" : nullptr;
    plan.companion = CompanionSwap::None;
  }
  return plan;
}
