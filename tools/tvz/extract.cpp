// tvz extract: unpacks an archive the way the setup program would, into a
// directory of the user's choosing.
#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/member_digest.h"
#include "tools/tvz/commands.h"
#include "tools/tvz/file_io.h"
#include "tools/tvz/inspect.h"
#include "tools/tvz/names.h"

namespace {

constexpr char kExtractUsage[] =
    "usage: tvz extract [--gbk-names] ARCHIVE DIR\n"
    "\n"
    "Writes every member into DIR (made when missing) under its name. In\n"
    "hashed archives a member whose digest does not match is not written.\n"
    "Names that would leave DIR (with '/' or '\\', '.' or '..') are refused.\n"
    "Exits 1 naming each member that could not be written.\n"
    "\n"
    "  --gbk-names  write files named in UTF-8 instead of the GBK bytes\n";

bool SafeFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

int ExtractCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kExtractUsage, stdout);
    return 0;
  }
  bool gbk = false;
  std::vector<std::string> positional;
  for (const std::string& a : args) {
    if (a == "--gbk-names") {
      gbk = true;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "tvz extract: unknown option %s\n", a.c_str());
      return 2;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) {
    std::fputs(kExtractUsage, stderr);
    return 2;
  }
  const std::string& archive = positional[0];
  const std::string dir = positional[1];

  std::vector<unsigned char> image;
  std::string error;
  if (!ReadWholeFile(archive, &image, &error)) {
    std::fprintf(stderr, "tvz extract: %s\n", error.c_str());
    return 1;
  }
  if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "tvz extract: %s: %s\n", dir.c_str(), std::strerror(errno));
    return 1;
  }

  ArchiveWalk walk = BeginArchiveWalk(image.data(), image.size());
  ArchiveEntry entry;
  std::vector<unsigned char> buf;
  int failed = 0;
  while (NextArchiveEntry(walk, entry)) {
    std::string fileName(entry.name);
    if (gbk) GbkNameToUtf8(entry.name, &fileName);
    const std::string shown = ShowName(entry.name, gbk);
    auto fail = [&](const std::string& why) {
      std::fprintf(stderr, "tvz extract: %s: member %" PRIu32 " \"%s\" at offset %zu: %s\n",
                   archive.c_str(), entry.index, shown.c_str(), entry.offset, why.c_str());
      ++failed;
    };
    if (!SafeFileName(fileName)) {
      fail("name is not a plain file name");
      continue;
    }
    std::size_t n = 0;
    MemberStatus status = ExpandWhole(entry, &buf, kToolExpandLimit, &n);
    if (status != MemberStatus::Expanded) {
      fail(DescribeMemberStatus(status));
      continue;
    }
    if (entry.digest) {
      char digest[kDigestTextSize];
      MemberDigest(buf.data(), static_cast<std::uint32_t>(n), digest);
      if (!DigestTextsEqual(digest, entry.digest)) {
        fail("expanded bytes do not match the stored digest; not written");
        continue;
      }
    }
    if (!WriteWholeFile(dir + "/" + fileName, buf.data(), n, &error)) fail(error);
  }
  if (!WalkComplete(walk.stop)) {
    std::fprintf(stderr,
                 "tvz extract: %s: entry %" PRIu32 " at offset %zu: %s; the header promises "
                 "%" PRIu32 " members\n",
                 archive.c_str(), walk.walked, walk.next, DescribeWalkStop(walk.stop), walk.count);
    return 1;
  }
  return failed ? 1 : 0;
}
