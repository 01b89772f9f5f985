#include "archive/backup.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>

#include "archive/archive_format.h"
#include "archive/archive_writer.h"
#include "archive/extract.h"
#include "archive/member_digest.h"
#include "driver/run_state.h"
#include "location/holders.h"
#include "location/install_dir.h"
#include "location/path_rules.h"
#include "resources/texts.h"

namespace {

enum class Editions { Any, PinyinOnly, WubiOnly };

struct BackupRow {
  const char* member;
  const char* source;  // copied onto the member first; nullptr: none
  bool required;
  Editions editions;
};

// In the order they go into the archive.
constexpr BackupRow kBackupRows[] = {
    {"tavopyck.tv1", "tavopyck.tvh", true, Editions::PinyinOnly},
    {"tavocyzk.tv1", "tavocyzk.tvh", true, Editions::WubiOnly},
    {"tfontset.tv1", "tfontset.tvh", true, Editions::Any},
    {"twbzlcz1.tv1", "twbzlcz1.tvh", true, Editions::Any},
    {"tvwbcmxz.tv1", "tvwbcmxz.tvh", true, Editions::Any},
    {"tvdhzcm.tv1", "tvdhzcm.tvh", true, Editions::Any},
    {"tavodhz.tv1", "tavodhz.tvh", true, Editions::Any},
    {"tvgbkhz.tv1", "tvgbkhz.tvh", true, Editions::Any},
    {"tvszsj43.tvh", nullptr, true, Editions::Any},
    {"tavodwdw.txt", nullptr, true, Editions::Any},
    {"tavozdym.tvh", nullptr, true, Editions::Any},
    {"tvpyzdym.tvh", nullptr, true, Editions::Any},
    {"tvwbpy.txt", nullptr, true, Editions::Any},
    {"tavoynhz.txt", nullptr, true, Editions::Any},
    {"tavozdfh.tvh", nullptr, true, Editions::Any},
    {"userck.txt", nullptr, false, Editions::Any},
    {"delck.txt", nullptr, false, Editions::Any},
    {"fttvzdym.txt", nullptr, false, Editions::Any},
    {"ftpyzdym.txt", nullptr, false, Editions::Any},
    {"twb.ov1", nullptr, false, Editions::WubiOnly},
    {"tavopymb.ov1", nullptr, false, Editions::Any},
    {"tvgbkbh.tvh", nullptr, false, Editions::Any},
    {"tvszsj05.tvh", nullptr, false, Editions::Any},
    {"tvszsj06.tvh", nullptr, false, Editions::Any},
};

bool RowApplies(const BackupRow& row, int edition) {
  switch (row.editions) {
    case Editions::PinyinOnly: return edition == 1;
    case Editions::WubiOnly: return edition != 1;
    default: return true;
  }
}

bool ReadExactly(HFILE f, void* buf, UINT n) {
  return _lread(f, buf, n) == n;
}

bool WriteExactly(HFILE f, const void* buf, UINT n) {
  return _lwrite(f, static_cast<const char*>(buf), n) == n;
}

// Opens the archive and reads its header, or creates it with an empty one.
// False when neither can be done.
bool OpenArchiveForAppend(const char* path, LFile& archive, unsigned char header[10]) {
  archive = LFile::OpenReadWrite(path);
  if (archive.ok()) return ReadExactly(archive.get(), header, kArchiveHeaderSize);
  archive = LFile::Create(path);
  if (!archive.ok()) return false;
  InitArchiveHeader(header, kHashedVariantByte);
  return WriteExactly(archive.get(), header, kArchiveHeaderSize);
}

// Walks the existing entries. False when one of them is called `name` or
// the archive ends before its count says; the file position is then the
// end of the last entry.
bool SkipEntriesUnlessPresent(HFILE archive, const unsigned char header[10], std::string_view name) {
  std::uint32_t count = ReadLE32(header + kArchiveCountOffset);
  for (std::uint32_t i = 0; i < count; ++i) {
    unsigned char entry[56];
    if (!ReadExactly(archive, entry, sizeof entry)) return false;
    const char* field = reinterpret_cast<const char*>(entry + kEntryNameOffset);
    std::size_t len = 0;
    while (len < kHashedLayout.nameSize && field[len]) ++len;
    if (std::string_view(field, len) == name) return false;
    std::int32_t length = ReadLE32Signed(entry + kHashedLayout.lengthOffset);
    if (length < 0 || _llseek(archive, length, FILE_CURRENT) == HFILE_ERROR) return false;
  }
  return true;
}

}  // namespace

int AppendArchiveMember(const char* archivePath, const char* filePath) {
  if (!filePath || !*filePath) return 0;
  const char* slash = std::strrchr(filePath, '\\');
  std::string_view name = slash ? slash + 1 : filePath;
  if (!IsValidMemberName(name)) return 0;

  LFile archive;
  unsigned char header[kArchiveHeaderSize];
  if (!OpenArchiveForAppend(archivePath, archive, header)) return 0;
  if (!SkipEntriesUnlessPresent(archive.get(), header, name)) return 0;

  LFile file = LFile::OpenRead(filePath);
  if (!file.ok()) return 0;
  LONG size = _llseek(file.get(), 0, FILE_END);
  _llseek(file.get(), 0, FILE_BEGIN);
  if (size < 0 || static_cast<unsigned long>(size) > 0x7FFFFFFFul / 2 - 8192) return 0;
  const std::size_t s = static_cast<std::size_t>(size);
  GlobalBlock block(GMEM_MOVEABLE | GMEM_ZEROINIT, 2 * s + 8192);
  if (!block.ok()) return 0;
  UINT n = _lread(file.get(), block.data(), static_cast<UINT>(s));
  if (n == static_cast<UINT>(HFILE_ERROR)) return 0;
  file.Close();

  char digest[kDigestTextSize];
  MemberDigest(block.data(), n, digest);
  // The compressed form may take as many bytes as the file, or 8192 for a
  // small one; a file that does not compress into that is not appended.
  std::size_t capacity = n > 8192 ? n : 8192;
  std::size_t compressed = 0;
  if (!CompressMember(block.data(), n, block.data() + s, capacity, &compressed) || compressed == 0)
    return 0;

  unsigned char entry[56];
  if (!BuildHashedEntryHeader(entry, name, digest, static_cast<std::int32_t>(compressed))) return 0;
  if (!AddEntryToArchiveHeader(header, sizeof entry, static_cast<std::uint32_t>(compressed)))
    return 0;
  if (!WriteExactly(archive.get(), entry, sizeof entry) ||
      !WriteExactly(archive.get(), block.data() + s, static_cast<UINT>(compressed)))
    return 0;
  if (_llseek(archive.get(), 0, FILE_BEGIN) != 0) return 0;
  return WriteExactly(archive.get(), header, kArchiveHeaderSize) ? 1 : 0;
}

int BackupUserData() {
  ResolveInstallDirectory();
  std::string backup = InInstallDir(kBackupArchiveName);
  DeleteFileA(backup.c_str());
  for (const BackupRow& row : kBackupRows) {
    if (!RowApplies(row, g_run.edition)) continue;
    std::string member = InInstallDir(row.member);
    if (row.source) CopyFileA(InInstallDir(row.source).c_str(), member.c_str(), FALSE);
    if (!AppendArchiveMember(backup.c_str(), member.c_str()) && row.required) return 0;
  }
  return 1;
}

void RestoreUserData() {
  if (!g_run.work || g_run.workSize <= 4096 + 1) return;
  std::string backup = InInstallDir(kBackupArchiveName);
  LFile f = LFile::OpenRead(backup.c_str());
  if (!f.ok()) return;
  LONG size = _llseek(f.get(), 0, FILE_END);
  _llseek(f.get(), 0, FILE_BEGIN);
  if (size < 0) return;
  GlobalBlock block(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size) + 200);
  if (!block.ok()) return;
  UINT n = _lread(f.get(), block.data(), static_cast<UINT>(size));
  f.Close();
  if (n == static_cast<UINT>(HFILE_ERROR) || n < 100) return;

  ExtractArchive(block.data(), n, g_run.work, g_run.workSize);

  char* report = reinterpret_cast<char*>(g_run.work);
  char* noExclusions = reinterpret_cast<char*>(g_run.work + 4096);
  noExclusions[0] = '\0';
  std::uint32_t passed = VerifyArchive(block.data(), n, report, 4096, noExclusions);
  if (report[0] != '\0') {
    AppendText(report, 4096, "\r\n\r\n");
    AppendText(report, 4096, txt::kReportRestoreTail);
    MessageBoxA(nullptr, report, txt::kCaptionTavoGbk, MB_OK);
    return;
  }
  wchar_t text[128];
  wsprintfW(text, txt::kMsgRestoredFmt, static_cast<int>(passed));
  MessageBoxW(nullptr, text, txt::kCaptionTavo, MB_OK);
}
