// tvz: makes, lists, checks and unpacks the setup program's archives.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/tvz/commands.h"
#include "tools/tvz/file_io.h"
#include "tools/tvz/inspect.h"

namespace {

constexpr char kUsage[] =
    "usage: tvz COMMAND [OPTIONS] ARGS\n"
    "\n"
    "Makes and checks the archives the setup program carries and reads.\n"
    "\n"
    "commands:\n"
    "  pack     write an archive of the given files\n"
    "  list     show the members of an archive\n"
    "  verify   expand every member and check its digest\n"
    "  extract  write the members of an archive into a directory\n"
    "\n"
    "'tvz COMMAND --help' tells more about each.\n";

constexpr char kListUsage[] =
    "usage: tvz list [--gbk-names] ARCHIVE\n"
    "\n"
    "Shows the archive header and, for every member, its entry number,\n"
    "offset, compressed and expanded length, stored digest ('-' in plain\n"
    "archives) and name. Exits 1 when the archive cannot be walked or a\n"
    "member cannot be expanded.\n"
    "\n"
    "  --gbk-names  show member names (GBK bytes) as UTF-8\n";

constexpr char kVerifyUsage[] =
    "usage: tvz verify [--gbk-names] ARCHIVE\n"
    "\n"
    "Walks the archive, expands every member and, in hashed archives,\n"
    "compares the MD5 of the expanded bytes with the stored digest. Also\n"
    "checks what the setup program relies on: the walk reaches every\n"
    "member the header counts, the total length field equals the end of\n"
    "the last member, no member is empty or too large to expand in the\n"
    "setup program's work buffer, and a plain archive fits the part of an\n"
    "archive file the setup program reads. Prints each failure with the\n"
    "member and its offset and exits 1 when there is any.\n"
    "\n"
    "  --gbk-names  show member names (GBK bytes) as UTF-8\n";

int Usage(const char* text, bool error) {
  std::fputs(text, error ? stderr : stdout);
  return error ? 2 : 0;
}

// The options list and verify share.
bool ParseInspectArgs(const Args& args, bool* gbk, std::string* archive) {
  for (const std::string& a : args) {
    if (a == "--gbk-names") {
      *gbk = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      std::fprintf(stderr, "tvz: unknown option %s\n", a.c_str());
      return false;
    } else if (archive->empty()) {
      *archive = a;
    } else {
      std::fprintf(stderr, "tvz: one archive at a time (%s)\n", a.c_str());
      return false;
    }
  }
  return !archive->empty();
}

// The report points into the image, which the caller keeps.
bool LoadReport(const std::string& path, std::vector<unsigned char>* image,
                ArchiveReport* report) {
  std::string error;
  if (!ReadWholeFile(path, image, &error)) {
    std::fprintf(stderr, "tvz: %s\n", error.c_str());
    return false;
  }
  *report = InspectArchive(image->data(), image->size());
  return true;
}

}  // namespace

bool WantsHelp(const Args& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

int ListCommand(const Args& args) {
  if (WantsHelp(args)) return Usage(kListUsage, false);
  bool gbk = false;
  std::string archive;
  if (!ParseInspectArgs(args, &gbk, &archive)) return Usage(kListUsage, true);
  std::vector<unsigned char> image;
  ArchiveReport report;
  if (!LoadReport(archive, &image, &report)) return 1;
  std::fputs(FormatListing(report, archive, gbk).c_str(), stdout);
  // A listing fails only where it cannot show what is there; digests and
  // the setup program's limits are verify's business.
  bool bad = !report.hasHeader || !WalkComplete(report.stop);
  for (const MemberReport& m : report.members)
    if (m.status != MemberStatus::Expanded) bad = true;
  if (bad) std::fputs(FormatFailures(report, archive, gbk).c_str(), stderr);
  return bad ? 1 : 0;
}

int VerifyCommand(const Args& args) {
  if (WantsHelp(args)) return Usage(kVerifyUsage, false);
  bool gbk = false;
  std::string archive;
  if (!ParseInspectArgs(args, &gbk, &archive)) return Usage(kVerifyUsage, true);
  std::vector<unsigned char> image;
  ArchiveReport report;
  if (!LoadReport(archive, &image, &report)) return 1;
  if (report.good()) {
    std::printf("%s: %zu members, all good\n", archive.c_str(), report.members.size());
    return 0;
  }
  std::fputs(FormatFailures(report, archive, gbk).c_str(), stderr);
  std::fprintf(stderr, "%s: %zu of %" PRIu32 " members failed\n", archive.c_str(),
               report.failedMembers() + (report.count - report.members.size()),
               report.count);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 2) return Usage(kUsage, true);
  std::string command = argv[1];
  Args args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") return Usage(kUsage, false);
  if (command == "pack") return PackCommand(args);
  if (command == "list") return ListCommand(args);
  if (command == "verify") return VerifyCommand(args);
  if (command == "extract") return ExtractCommand(args);
  std::fprintf(stderr, "tvz: unknown command '%s'\n\n", command.c_str());
  return Usage(kUsage, true);
}
