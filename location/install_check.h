// The check after an install: is the install directory usable? When not,
// the user gets a report naming the first failed test instead of the
// closing message.
#pragma once

#include <cstdint>

struct InstallCheck {
  int directoryScore = 0;  // 1 listed + 10 enterable + 3 plain directory
  // Files (entries that are not directories) by kind. Counted without
  // wrapping: a large directory must not look like an incomplete one.
  unsigned txtFiles = 0;
  unsigned tvhFiles = 0;
  unsigned otherFiles = 0;
  unsigned FileCount() const { return txtFiles + tvhFiles + otherFiles; }
};

extern InstallCheck g_check;

constexpr int kFullDirectoryScore = 14;
constexpr unsigned kMinimumFileCount = 74;
constexpr std::int32_t kProbePassed = 20 * 256;  // opened, first 20 bytes read

// Scores the install directory and counts its files. Gives the directory
// its closing backslash when there is room; leaves the install directory
// as the current directory when it can be entered.
void ScanInstallDirectory();

// Opens a file of the install directory and reads its first 20 bytes:
// bytes read * 256, plus the last error when fewer were read; the last
// error when the file cannot be opened.
std::int32_t ProbeInstalledFile(const char* name);

// Runs the tests in order; the verdict text (GBK) of the first that fails,
// or nullptr when all pass. Scans the directory first.
const char* FirstFailedInstallCheck();

// Builds the report for a verdict into out (cap bytes, always terminated).
void BuildCheckReport(const char* verdict, char* out, std::size_t cap);

// 1 when a test failed and the report was shown; 0 when all passed or the
// report memory could not be had.
int CheckInstallation();
