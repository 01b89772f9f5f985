#include "location/install_check.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "location/holders.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "resources/texts.h"

InstallCheck g_check;

namespace {

constexpr SIZE_T kReportSize = 69376;

void Append(char* out, std::size_t cap, std::size_t* used, const char* text) {
  std::size_t n = std::strlen(text);
  if (*used + n >= cap) n = cap - 1 - *used;
  std::memcpy(out + *used, text, n);
  *used += n;
  out[*used] = '\0';
}

// The first of the names that probes whole passes the test.
bool AnyProbePasses(std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (ProbeInstalledFile(name) == kProbePassed) return true;
  return false;
}

}  // namespace

void ScanInstallDirectory() {
  g_check = InstallCheck{};
  std::size_t n = std::strlen(g_location.dir);
  if (n > 0 && n + 1 < kInstallDirSize && g_location.dir[n - 1] != '\\') {
    g_location.dir[n] = '\\';
    g_location.dir[n + 1] = '\0';
  }

  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(InInstallDir("*.*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      g_check.directoryScore = 1;
      if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0)
        continue;
      if (SetCurrentDirectoryA(InInstallDir(entry.cFileName).c_str())) continue;
      if (ContainsNoCase(entry.cFileName, ".txt"))
        ++g_check.txtFiles;
      else if (ContainsNoCase(entry.cFileName, ".tvh"))
        ++g_check.tvhFiles;
      else
        ++g_check.otherFiles;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  if (SetCurrentDirectoryA(g_location.dir)) g_check.directoryScore += 10;
  if (GetFileAttributesA(g_location.dir) == FILE_ATTRIBUTE_DIRECTORY) g_check.directoryScore += 3;
}

std::int32_t ProbeInstalledFile(const char* name) {
  LFile file = LFile::OpenRead(InInstallDir(name).c_str());
  if (!file.ok()) return static_cast<std::int32_t>(GetLastError());
  char scratch[20];
  UINT read = _lread(file.get(), scratch, sizeof scratch);
  if (read == static_cast<UINT>(HFILE_ERROR)) read = 0;
  std::int32_t error = read < sizeof scratch ? static_cast<std::int32_t>(GetLastError()) : 0;
  return static_cast<std::int32_t>(read) * 256 + error;
}

const char* FirstFailedInstallCheck() {
  ScanInstallDirectory();
  if (g_check.directoryScore < kFullDirectoryScore) return txt::kCheckNoInstallPath;
  if (g_check.FileCount() < kMinimumFileCount) return txt::kCheckFilesIncomplete;
  if (!AnyProbePasses({"tavocyzk.tvh", "tavocyzk.tv1", "tavocyzk.tvu"}))
    return txt::kCheckNoWubiDictionary;
  if (!AnyProbePasses({"tavopyck.tvh", "tavopyck.tv1", "tavopyck.tvu"}))
    return txt::kCheckNoPinyinDictionary;
  if (ProbeInstalledFile("tavohu4.ime") != kProbePassed) return txt::kCheckMissingFile;
  return nullptr;
}

void BuildCheckReport(const char* verdict, char* out, std::size_t cap) {
  if (cap == 0) return;
  std::size_t used = 0;
  out[0] = '\0';
  for (const char* part : {txt::kCheckReportHead, "\r\n\r\n", txt::kCheckReportError, verdict,
                           "\r\n\r\n", txt::kCheckAdvice, "\r\n\r\n"})
    Append(out, cap, &used, part);
}

int CheckInstallation() {
  GlobalBlock report(GMEM_MOVEABLE, kReportSize);
  if (!report.ok()) return 0;
  const char* verdict = FirstFailedInstallCheck();
  if (!verdict) return 0;
  char* text = reinterpret_cast<char*>(report.data());
  BuildCheckReport(verdict, text, report.size());
  MessageBoxA(nullptr, text, txt::kCheckCaption, MB_OK);
  return 1;
}
