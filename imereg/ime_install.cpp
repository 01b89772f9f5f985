#include "imereg/ime_install.h"

#include <cwchar>

#include "imereg/layout_register.h"
#include "resources/texts.h"

ImeState g_ime;

bool InstallImeWithSystem() {
  wchar_t system[MAX_PATH];
  UINT n = GetSystemDirectoryW(system, MAX_PATH);
  wchar_t path[MAX_PATH + 16];
  if (n == 0 || n >= MAX_PATH) {
    g_ime.installedLayout = nullptr;
    return false;
  }
  std::wcscpy(path, system);
  std::wcscat(path, L"\\tavohu4.ime");
  g_ime.installedLayout = ImmInstallIMEW(path, const_cast<wchar_t*>(txt::kImeLayoutText));
  return g_ime.installedLayout != nullptr;
}

void RegisterImeLayout() {
  if (!InstallImeWithSystem()) RegisterLayoutManually();
}
