#include "driver/placement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Describe(const DeployPlan& plan) {
  std::string s;
  for (int i = 0; i < plan.moduleCount; ++i) {
    const ModulePlacement& m = plan.modules[i];
    s += m.dest == SystemDir::Wow64 ? "wow64<" : "system<";
    s += m.source;
    s += m.patchFirst ? "(patched) " : " ";
  }
  s += plan.uninstaller ? std::string("uninstaller<") + plan.uninstaller : "-";
  switch (plan.companion) {
    case CompanionSwap::None: s += " companion:none"; break;
    case CompanionSwap::BeforeModules: s += " companion:before"; break;
    case CompanionSwap::AfterUninstaller: s += " companion:after"; break;
  }
  return s;
}

}  // namespace

TEST(PlanDeployment, EveryKindOfWindowsAndBothPasses) {
  struct Case {
    int pass;
    bool windows64;
    unsigned long major;
    bool cp950;
    const char* expected;
  } cases[] = {
      {0, true, 6, false,
       "wow64<tavo320.ime(patched) system<tavo640.ime(patched) uninstaller<tvkdel64.exe "
       "companion:after"},
      {1, true, 6, false, "wow64<tavohu32.ime system<tavohu64.ime - companion:none"},
      {0, true, 6, true,
       "wow64<tavo321.ime(patched) system<tavo641.ime(patched) uninstaller<tvkdel64.exe "
       "companion:after"},
      {0, false, 6, false, "system<tavo320.ime(patched) uninstaller<tavodel.exe companion:before"},
      {1, false, 6, false, "system<tavohu32.ime - companion:none"},
      {0, false, 5, true, "system<tavo321.ime(patched) uninstaller<tavodel.exe companion:none"},
      {1, false, 5, false, "system<tavohu4.ime - companion:none"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Describe(PlanDeployment(c.pass, c.windows64, c.major, c.cp950)), c.expected)
        << "pass " << c.pass << " 64=" << c.windows64 << " major " << c.major;
}

TEST(MustLiftRedirection, OnlyA32BitProcessOn64BitWindows) {
  EXPECT_TRUE(MustLiftRedirection(true, false));
  EXPECT_FALSE(MustLiftRedirection(true, true));
  EXPECT_FALSE(MustLiftRedirection(false, false));
  EXPECT_FALSE(MustLiftRedirection(false, true));
}
