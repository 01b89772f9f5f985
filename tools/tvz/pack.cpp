// tvz pack: the archive writer for the people who assemble the product.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/member_digest.h"
#include "tools/tvz/commands.h"
#include "tools/tvz/file_io.h"
#include "tools/tvz/names.h"

namespace {

constexpr char kPackUsage[] =
    "usage: tvz pack [--plain[=LETTER]] [--fill=BYTE] [--gbk-names] ARCHIVE FILE...\n"
    "\n"
    "Writes a new archive of the files, in the order given, each stored\n"
    "under its base name (at most 12 bytes) with zlib at the default level.\n"
    "The archive replaces ARCHIVE only when every file was packed; a refused\n"
    "pack leaves no file behind.\n"
    "\n"
    "  --plain[=LETTER]  plain variant (no digests), LETTER in the variant\n"
    "                    byte (default P); without it the hashed variant,\n"
    "                    whose entries carry each member's MD5 digest\n"
    "  --fill=BYTE       plain variant: the byte behind each name's NUL, as\n"
    "                    0xCC or 204 (default 0)\n"
    "  --gbk-names       file names given in UTF-8 are stored as their GBK\n"
    "                    bytes (names that are already GBK stay as they are)\n"
    "\n"
    "Refused: a name longer than 12 bytes or empty, two members of the same\n"
    "name (names are case-sensitive), an archive past 2 GiB.\n";

struct PackOptions {
  bool plain = false;
  unsigned char variantByte = kHashedVariantByte;
  unsigned char fill = 0;
  bool fillGiven = false;
  bool gbkNames = false;
  std::string archive;
  std::vector<std::string> files;
};

bool ParseByte(const std::string& text, unsigned char* out) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || v > 0xFF) return false;
  *out = static_cast<unsigned char>(v);
  return true;
}

bool ParsePackArgs(const Args& args, PackOptions* o) {
  bool optionsDone = false;
  for (const std::string& a : args) {
    if (!optionsDone && a == "--") {
      optionsDone = true;
    } else if (!optionsDone && a == "--plain") {
      o->plain = true;
      o->variantByte = 'P';
    } else if (!optionsDone && a.rfind("--plain=", 0) == 0) {
      std::string letter = a.substr(8);
      if (letter.size() != 1 || letter[0] == static_cast<char>(kHashedVariantByte)) {
        std::fprintf(stderr, "tvz pack: --plain takes one character other than '0'\n");
        return false;
      }
      o->plain = true;
      o->variantByte = static_cast<unsigned char>(letter[0]);
    } else if (!optionsDone && a.rfind("--fill=", 0) == 0) {
      if (!ParseByte(a.substr(7), &o->fill)) {
        std::fprintf(stderr, "tvz pack: --fill takes a byte value, as 0xCC or 204\n");
        return false;
      }
      o->fillGiven = true;
    } else if (!optionsDone && a == "--gbk-names") {
      o->gbkNames = true;
    } else if (!optionsDone && a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "tvz pack: unknown option %s\n", a.c_str());
      return false;
    } else if (o->archive.empty()) {
      o->archive = a;
    } else {
      o->files.push_back(a);
    }
  }
  if (o->fillGiven && !o->plain) {
    std::fprintf(stderr, "tvz pack: --fill is for the plain variant; hashed names are zero-filled\n");
    return false;
  }
  if (o->archive.empty() || o->files.empty()) {
    std::fprintf(stderr, "tvz pack: give the archive and at least one file\n");
    return false;
  }
  return true;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The member names, checked all before anything is written.
bool MemberNames(const PackOptions& o, std::vector<std::string>* names) {
  bool ok = true;
  std::set<std::string> seen;
  std::set<std::string> seenFolded;
  for (const std::string& file : o.files) {
    std::string name = BaseName(file);
    if (o.gbkNames) name = Utf8NameToGbk(name);
    std::string shown = ShowName(name, o.gbkNames);
    if (!IsValidMemberName(name)) {
      std::fprintf(stderr, "tvz pack: %s: member name \"%s\" has %zu bytes; names have 1 to %zu\n",
                   file.c_str(), shown.c_str(), name.size(), kMaxMemberNameSize);
      ok = false;
    } else if (!seen.insert(name).second) {
      std::fprintf(stderr, "tvz pack: %s: a member named \"%s\" is already in the list\n",
                   file.c_str(), shown.c_str());
      ok = false;
    } else {
      std::string folded = name;
      for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (!seenFolded.insert(folded).second)
        std::fprintf(stderr,
                     "tvz pack: warning: %s: \"%s\" differs from another member only in case; "
                     "both are extracted to one file on Windows\n",
                     file.c_str(), shown.c_str());
    }
    names->push_back(name);
  }
  return ok;
}

}  // namespace

int PackCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kPackUsage, stdout);
    return 0;
  }
  PackOptions o;
  if (!ParsePackArgs(args, &o)) {
    std::fputs(kPackUsage, stderr);
    return 2;
  }
  std::vector<std::string> names;
  if (!MemberNames(o, &names)) return 1;

  const EntryLayout& layout = o.plain ? kPlainLayout : kHashedLayout;
  const std::size_t room = o.plain ? kPlainExpandRoom : kHashedExpandRoom;
  unsigned char header[kArchiveHeaderSize];
  InitArchiveHeader(header, o.variantByte);

  PendingFile out(o.archive);
  if (!out.ok() || !out.Write(header, sizeof header)) {
    std::fprintf(stderr, "tvz pack: %s\n", out.error().c_str());
    return 1;
  }
  std::vector<unsigned char> data;
  std::vector<unsigned char> packed;
  for (std::size_t i = 0; i < o.files.size(); ++i) {
    const std::string& file = o.files[i];
    std::string error;
    if (!ReadWholeFile(file, &data, &error)) {
      std::fprintf(stderr, "tvz pack: %s\n", error.c_str());
      return 1;
    }
    if (data.size() > 0xFFFFFFFFu) {
      std::fprintf(stderr, "tvz pack: %s: %zu bytes, more than a member can hold\n", file.c_str(),
                   data.size());
      return 1;
    }
    if (data.size() > room)
      std::fprintf(stderr,
                   "tvz pack: warning: %s: %zu bytes, more than the %zu the setup program can "
                   "expand\n",
                   file.c_str(), data.size(), room);
    packed.resize(CompressBound(data.size()));
    std::size_t packedSize = 0;
    if (!CompressMember(data.data(), data.size(), packed.data(), packed.size(), &packedSize) ||
        packedSize > 0x7FFFFFFFu ||
        !AddEntryToArchiveHeader(header, layout.headerSize,
                                 static_cast<std::uint32_t>(packedSize))) {
      std::fprintf(stderr, "tvz pack: %s: the archive would pass 2 GiB\n", file.c_str());
      return 1;
    }
    unsigned char entry[kHashedLayout.headerSize];
    const auto length = static_cast<std::int32_t>(packedSize);
    if (o.plain) {
      BuildPlainEntryHeader(entry, names[i], length, o.fill);
    } else {
      char digest[kDigestTextSize];
      MemberDigest(data.data(), static_cast<std::uint32_t>(data.size()), digest);
      BuildHashedEntryHeader(entry, names[i], digest, length);
    }
    if (!out.Write(entry, layout.headerSize) || !out.Write(packed.data(), packedSize)) {
      std::fprintf(stderr, "tvz pack: %s\n", out.error().c_str());
      return 1;
    }
  }
  if (!out.WriteAt(0, header, sizeof header) || !out.Commit()) {
    std::fprintf(stderr, "tvz pack: %s\n", out.error().c_str());
    return 1;
  }
  return 0;
}
