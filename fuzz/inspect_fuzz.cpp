// What tvz list and tvz verify do with an archive file, over arbitrary
// bytes: expand every member, digest it, and format both reports.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/tvz/inspect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A lower expansion limit than the tool's keeps each input quick; the
  // growth path up to the limit is the same.
  ArchiveReport report = InspectArchive(data, size, std::size_t{1} << 20);
  std::string text = FormatListing(report, "fuzz.tvz", size % 2 == 0);
  text += FormatFailures(report, "fuzz.tvz", size % 2 == 1);
  if (report.members.size() > report.count) __builtin_trap();
  if (report.good() && !WalkComplete(report.stop)) __builtin_trap();
  if (report.hasHeader && text.empty()) __builtin_trap();  // a header is always listed
  return 0;
}
