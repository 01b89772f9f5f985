// Which IME module goes where in each deployment pass, by the kind of
// Windows. Pure decisions, so every kind is tested here, including the
// ones Wine cannot be.
#pragma once

enum class SystemDir { Wow64, System };

struct ModulePlacement {
  SystemDir dest;      // copied there as tavohu4.ime
  const char* source;  // file in the install directory
  bool patchFirst;     // the version text is patched just before
};

enum class CompanionSwap { None, BeforeModules, AfterUninstaller };

struct DeployPlan {
  ModulePlacement modules[2];
  int moduleCount;
  const char* uninstaller;  // copied to the system directory as tavodel.exe; nullptr: none
  CompanionSwap companion;  // when tavovem6.exe replaces tavovemo.exe
};

// pass: 0 first, 1 second.
DeployPlan PlanDeployment(int pass, bool windows64, unsigned long winMajor, bool codePage950);

// A 32-bit process on 64-bit Windows has its writes to the system
// directory sent to the WOW64 directory. Copies meant for the real system
// directory (the 64-bit module and uninstaller) must lift that redirection.
constexpr bool MustLiftRedirection(bool windows64, bool process64) {
  return windows64 && !process64;
}
