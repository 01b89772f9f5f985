#include "archive/extract.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>

#include "archive/archive_walk.h"
#include "archive/file_digest.h"
#include "archive/member_digest.h"
#include "driver/run_state.h"
#include "location/file_ops.h"
#include "location/holders.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "resources/texts.h"
#include "ui/options_dialog.h"

namespace {

constexpr std::size_t kNameArea = 100;      // scratch + 0: the member's name
constexpr std::size_t kDigestGap = 10;      // between the bytes and their digest text
constexpr std::size_t kReportOffset = 4096;  // payload report in the work buffer

// Room for the expanded bytes behind the name area, leaving space for the
// digest text behind them; never more than the 2 MiB the format allows.
std::size_t ExpandRoom(std::size_t scratchSize) {
  constexpr std::size_t kReserved = kNameArea + kDigestGap + kDigestTextSize;
  if (scratchSize <= kReserved) return 0;
  std::size_t room = scratchSize - kReserved;
  return room < kWorkBufferSize ? room : kWorkBufferSize;
}

void ReportMemberFailure(const char* name) {
  std::string text = FormatText(txt::kMsgExtractFailedFmt, name);
  MessageBoxA(nullptr, text.c_str(), txt::kCaptionSetupGbk, MB_OK);
}

bool WriteMemberFile(const std::string& path, const unsigned char* data, std::size_t n) {
  if (DeleteForReplace(path.c_str()) == -1) RenameAside(path.c_str());
  LFile f = LFile::Create(path.c_str());
  if (!f.ok()) return false;
  UINT written = _lwrite(f.get(), reinterpret_cast<const char*>(data), static_cast<UINT>(n));
  return written == n;
}

void AppendReport(char* report, std::size_t cap, std::string_view text) {
  // A full report keeps what it has; the summary line below still tells.
  AppendText(report, cap, text);
}

const char* SkinArchiveName(unsigned char choice) {
  switch (choice) {
    case 2: return txt::kSkinPinkPorcelain;
    case 3: return txt::kSkinLittleAngel;
    default: return txt::kSkinCoolPorcelain;
  }
}

}  // namespace

int ExtractArchive(const unsigned char* image, std::size_t imageSize, unsigned char* scratch,
                   std::size_t scratchSize) {
  ArchiveWalk walk = BeginArchiveWalk(image, imageSize);
  std::size_t room = ExpandRoom(scratchSize);
  std::uint32_t written = 0;
  ArchiveEntry entry;
  while (NextArchiveEntry(walk, entry)) {
    char* name = reinterpret_cast<char*>(scratch);
    CopyText(name, kNameArea, entry.name);
    std::string path = std::string(g_location.dir) + name;
    unsigned char* data = scratch + kNameArea;

    std::size_t n = 0;
    bool ok = IsPlainFileName(name) && room > 0 && ExpandArchiveMember(entry, data, room, &n) == MemberStatus::Expanded &&
              n > 0;
    if (ok && walk.variant == ArchiveVariant::Hashed) {
      char* digest = reinterpret_cast<char*>(data + n + kDigestGap);
      MemberDigest(data, static_cast<std::uint32_t>(n), digest);
      ok = DigestTextsEqual(digest, entry.digest);
    }
    if (ok) ok = WriteMemberFile(path, data, n);
    if (ok) {
      ++written;
    } else {
      ReportMemberFailure(name);
    }
  }
  return written == walk.count ? 1 : 0;
}

std::uint32_t VerifyArchive(const unsigned char* image, std::size_t imageSize, char* report,
                            std::size_t reportCap, const char* exclusions) {
  if (reportCap == 0) return 0;
  report[0] = '\0';
  ArchiveWalk walk = BeginArchiveWalk(image, imageSize);
  if (walk.count == 0) return 0;

  std::uint32_t passed = 0;
  ArchiveEntry entry;
  while (NextArchiveEntry(walk, entry)) {
    std::string name(entry.name);
    std::string path = std::string(g_location.dir) + name;
    // A name with a directory part never names an installed file.
    bool plainName = IsPlainFileName(name.c_str());
    char digest[kDigestTextSize] = {};
    std::uint32_t length = plainName ? FileDigest(path.c_str(), digest) : 0;
    bool pass;
    if (!plainName) {
      pass = false;
    } else if (walk.variant == ArchiveVariant::Hashed) {
      pass = DigestTextsEqual(digest, entry.digest) || ContainsNoCase(exclusions, name.c_str());
    } else {
      pass = length >= static_cast<std::uint32_t>(entry.compressedLength);
    }
    if (pass) {
      ++passed;
    } else {
      AppendReport(report, reportCap, name);
      AppendReport(report, reportCap, "....");
    }
  }
  if (passed < walk.count) AppendReport(report, reportCap, txt::kReportSummary);
  return passed;
}

void ExtractArchiveFile(const char* path) {
  if (g_run.oldDataState == 2) return;
  if (!g_run.work || g_run.workSize <= kArchiveFileReadLimit) return;
  LFile f = LFile::OpenRead(path);
  if (!f.ok()) return;
  UINT r = _lread(f.get(), g_run.work, static_cast<UINT>(kArchiveFileReadLimit));
  if (r == static_cast<UINT>(HFILE_ERROR)) r = 0;
  f.Close();
  // The walk sees only the bytes read: a larger file stops where they end.
  ExtractArchive(g_run.work, r, g_run.work + kArchiveFileReadLimit,
                 g_run.workSize - kArchiveFileReadLimit);
}

void VerifyPayloadAndInstallSkin() {
  unsigned char* work = g_run.work;
  if (!work || g_run.workSize <= kArchiveFileReadLimit) return;
  char* exclusions = reinterpret_cast<char*>(work);
  char* report = reinterpret_cast<char*>(work + kReportOffset);
  const std::size_t reportCap = g_run.workSize - kReportOffset;

  std::memcpy(exclusions, kPayloadExclusions, sizeof kPayloadExclusions);
  VerifyArchive(g_run.payload, g_run.payloadSize, report, reportCap, exclusions);
  if (report[0] != '\0') {
    AppendReport(report, reportCap, "\r\n\r\n");
    AppendReport(report, reportCap, txt::kReportPayloadTail);
    MessageBoxA(nullptr, report, txt::kCaptionTavoGbk, MB_OK);
  }
  // Keeping the earlier data keeps the earlier skin and settings too.
  if (g_run.oldDataState == 2) return;

  g_run.statusWindowMode = 1;
  g_run.skinChoice = 1;
  DialogBoxParamA(g_run.instance, g_machine.oemCodePage == 950 ? "PYKEYB" : "PYKEY",
                  g_run.setupWindow, OptionsDialogProc, 0);

  std::string skin = std::string(g_location.dir) + SkinArchiveName(g_run.skinChoice);
  ExtractArchiveFile(skin.c_str());

  std::size_t r = 0;
  {
    LFile f = LFile::OpenRead(skin.c_str());
    if (!f.ok()) {
      AppendReport(report, reportCap, txt::kReportSkinTail);
      MessageBoxA(nullptr, report, txt::kCaptionTavoGbk, MB_OK);
      return;
    }
    UINT got = _lread(f.get(), work, static_cast<UINT>(kArchiveFileReadLimit));
    r = got == static_cast<UINT>(HFILE_ERROR) ? 0 : got;
  }
  work[r + 6] = '\0';
  char* skinReport = reinterpret_cast<char*>(work + r + 20);
  const std::size_t skinCap = g_run.workSize - (r + 20);
  VerifyArchive(work, r, skinReport, skinCap, reinterpret_cast<char*>(work + r + 6));
  if (skinReport[0] != '\0') {
    AppendReport(skinReport, skinCap, "\r\n\r\n");
    AppendReport(skinReport, skinCap, txt::kReportSkinTail);
    MessageBoxA(nullptr, skinReport, txt::kCaptionTavoGbk, MB_OK);
  }
}
