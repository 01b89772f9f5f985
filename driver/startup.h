// The program's start: machine facts, the administrator check and the three
// run modes.
#pragma once

#include <windows.h>

// The whole program behind WinMain; returns the exit code (always 0).
int SetupMain(HINSTANCE instance, HINSTANCE previous, const char* args, int show);

// True on 64-bit Windows: major version above 5 and "<windows>\syswow64"
// exists. Refreshes the major version and, on Windows 6+, the WOW64 directory.
bool DetectWindows64();

// True when the program must refuse to run: on Windows 6+ a probe text
// written to the directory stores did not come back unchanged.
bool ProbeAdminRights();

// Takes the install directory from "regtv32=<dir>" in the argument text.
void ReadDirectoryArgument(const char* args);

// The registration run: store the directory from the command line and
// register the module already placed in the system directory.
void RunRegistration(const char* args);

// The silent install: payload and work buffer, then the install sequence.
void RunSilentInstall();
