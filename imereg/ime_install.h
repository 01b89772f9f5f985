// Registering the IME module with Windows.
#pragma once

#include <windows.h>

struct ImeState {
  HKL installedLayout = nullptr;  // what the system installer returned
};

extern ImeState g_ime;

// Asks the system to install "<system>\tavohu4.ime" as a keyboard layout.
// Keeps the returned layout handle; true when there is one.
bool InstallImeWithSystem();
