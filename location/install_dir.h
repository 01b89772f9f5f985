// Where the product is installed, and the three places that remember it.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kInstallDirSize = 200;  // 199 characters and a zero byte

struct InstallLocation {
  char dir[kInstallDirSize] = {};        // ends in '\' once persisted
  char defaultDriveDir[16] = {};         // "X:\tavohu\" or ""
};

extern InstallLocation g_location;

constexpr char kDefaultInstallDir[] = "c:\\tavohu2\\";
constexpr char kDirectoryFileName[] = "tavopath.tvh";

// A file in the install directory: the directory followed directly by name.
std::string InInstallDir(const char* name);

// True when the install directory counts as set ("X:\...").
bool InstallDirectoryIsSet();

// Sets the install directory from the first store that gives one: the
// directory file in the Windows directory, the registry value, the directory
// file on the default drive, else "c:\tavohu2\". A set directory is kept.
char* ResolveInstallDirectory();

// Gives the install directory its closing backslash and writes it to every
// store. Failures are not reported.
void PersistInstallDirectory();

// "X:\tavohu\" on the highest fixed drive of g: down to c:, or "".
const char* DefaultDriveDirectory();

// The Windows directory followed by "\syswow64".
void Wow64Directory(char* out, std::size_t cap);
