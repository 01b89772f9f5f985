#include "location/settings_files.h"

#include <cstring>
#include <string>

#include "driver/run_state.h"
#include "location/holders.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "location/settings_rules.h"

SiteAddresses g_sites;

namespace {

constexpr std::size_t kSiteFileReadLimit = 1000;
constexpr std::size_t kPatchLimit = 0x20000;

void WriteWhole(const std::string& path, const void* data, std::size_t size) {
  LFile f = LFile::Create(path.c_str());
  if (!f.ok()) return;
  _lwrite(f.get(), static_cast<const char*>(data), static_cast<UINT>(size));
}

}  // namespace

void WriteSettingsFiles() {
  ResolveInstallDirectory();
  char edition[11] = "TVWBPYBZ=0";
  edition[9] = g_run.edition == 1 ? '1' : '0';
  WriteWhole(InInstallDir("wbpybz.tvh"), edition, sizeof edition);

  std::string text = BuildSiteAddressText(g_sites.unitSite, g_sites.governmentSite);
  WriteWhole(InInstallDir("tvnetsj.dat"), text.data(), text.size());
}

void LoadSiteAddresses(HWND unitField, HWND governmentField) {
  ResolveInstallDirectory();
  LFile f = LFile::OpenRead(InInstallDir("tvnetsj.dat").c_str());
  if (!f.ok()) {
    SetWindowTextA(unitField, "");
    SetWindowTextA(governmentField, "");
    return;
  }
  char block[kSiteFileReadLimit] = {};
  UINT n = _lread(f.get(), block, sizeof block);
  if (n == static_cast<UINT>(HFILE_ERROR)) n = 0;
  f.Close();
  FindKeyValue(block, n, "TVNETURL1=", g_sites.unitSite, sizeof g_sites.unitSite);
  SetWindowTextA(unitField, g_sites.unitSite);
  FindKeyValue(block, n, "TVNETURL2=", g_sites.governmentSite, sizeof g_sites.governmentSite);
  SetWindowTextA(governmentField, g_sites.governmentSite);
}

void WriteStatusWindowRecord() {
  if (g_run.oldDataState == 2) return;  // the restore brings back the earlier record
  std::string path = InInstallDir("tvszsj43.tvh");
  // The built-in values stand where the file has no bytes to give.
  std::uint8_t record[kStatusRecordSize];
  DefaultStatusRecord(record);
  {
    LFile f = LFile::OpenRead(path.c_str());
    if (f.ok()) _lread(f.get(), record, sizeof record);
  }
  ApplyStatusWindowSettings(record, g_run.statusWindowMode, g_machine.oemCodePage == 950,
                            g_run.edition);
  WriteWhole(path, record, sizeof record);
}

void PatchVersionText(const char* path) {
  if (!g_run.work || g_run.workSize < kPatchLimit + 1) return;
  std::size_t n = 0;
  {
    LFile f = LFile::OpenRead(path);
    if (!f.ok()) return;
    // One byte more than the limit tells a file that is too large; such a
    // file, or one that cannot be read, must not be written back in part.
    UINT got = _lread(f.get(), g_run.work, static_cast<UINT>(kPatchLimit + 1));
    if (got == static_cast<UINT>(HFILE_ERROR) || got > kPatchLimit) return;
    LONG end = _llseek(f.get(), 0, FILE_END);
    if (end < 0 || static_cast<std::size_t>(end) != got) return;
    n = got;
  }
  PatchVersionBytes(g_run.work, n);
  WriteWhole(path, g_run.work, n);
}
