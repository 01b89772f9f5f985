// Registering the IME module with Windows.
#pragma once

#include <windows.h>
#include <imm.h>

struct ImeState {
  HKL installedLayout = nullptr;  // what the system installer returned
  int windowsInUse = 0;           // IME windows counted in running programs

  // The system calls a test must be able to answer or watch: the Windows
  // family (Wine is always NT), the description of a loaded layout (Wine
  // gives its own for every layout), the value writers (the registry adds a
  // terminating zero the caller left out, so the byte counts handed over
  // show only here), the layout switch (Wine refuses it for the whole
  // process) and the program starter.
  DWORD(WINAPI* getVersion)() = GetVersion;
  UINT(WINAPI* describeLayout)(HKL, LPSTR, UINT) = ImmGetDescriptionA;
  LONG(WINAPI* setValueA)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) = RegSetValueExA;
  LONG(WINAPI* setValueW)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) = RegSetValueExW;
  HKL(WINAPI* activateLayout)(HKL, UINT) = ActivateKeyboardLayout;
  UINT(WINAPI* startProgram)(LPCSTR, UINT) = WinExec;
};

extern ImeState g_ime;

// Asks the system to install "<system>\tavohu4.ime" as a keyboard layout.
// Keeps the returned layout handle; true when there is one.
bool InstallImeWithSystem();

// Makes Windows know the IME: through the system installer, or, when that
// gives no layout, by writing the layout key and preload entry directly.
void RegisterImeLayout();
