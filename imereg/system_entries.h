// The product's other ties into Windows: its uninstall entry, the autostart
// value of the companion program, its browser user-agent token and the
// integrity level of the install directory.
#pragma once

// HKLM ...\Uninstall\tavokwb: "DisplayName" by edition, "UninstallString"
// the uninstaller in the system directory. UTF-16 values.
void WriteUninstallEntry();

// HKLM ...\CurrentVersion\Run, value "tvtksjgl" = commandLine.
void WriteAutostartValue(const char* commandLine);

// HKLM ...\User Agent\Post Platform: drops the tokens of earlier versions
// and writes this version's empty "vemo7300".
void WriteUserAgentToken();

// Starts icacls.exe to give the install directory the low integrity level
// (so low-integrity programs can write there); does not wait for it.
void LowerDirectoryIntegrity();
