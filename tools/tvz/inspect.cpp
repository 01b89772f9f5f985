#include "tools/tvz/inspect.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "archive/member_digest.h"
#include "tools/tvz/names.h"

namespace {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
  char buf[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, args);
  va_end(args);
  return buf;
}

std::string DigestShown(const char* field) {
  std::string s;
  for (std::size_t i = 0; i < kDigestHexSize && field[i]; ++i) {
    unsigned char c = static_cast<unsigned char>(field[i]);
    s += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  return s.empty() ? std::string("(empty)") : s;
}

std::string CheckMember(const ArchiveReport& report, MemberReport& m) {
  switch (m.status) {
    case MemberStatus::Expanded: break;
    case MemberStatus::Empty: return "compressed length 0, nothing to expand";
    case MemberStatus::Corrupt: return "data is not a valid zlib stream";
    case MemberStatus::TooBig:
      return Format("expands to more than the tool's limit of %zu bytes", kToolExpandLimit);
    case MemberStatus::NotFound: return "not expanded";
  }
  if (m.expandedSize == 0) return "expands to 0 bytes; the setup program refuses empty members";
  const std::size_t room =
      report.variant == ArchiveVariant::Hashed ? kHashedExpandRoom : kPlainExpandRoom;
  if (m.expandedSize > room)
    return Format("expands to %zu bytes, more than the %zu the setup program has room for",
                  m.expandedSize, room);
  if (m.entry.digest && !DigestTextsEqual(m.digest, m.entry.digest))
    return "stored digest " + DigestShown(m.entry.digest) + " but the expanded bytes give " +
           DigestShown(m.digest);
  return {};
}

}  // namespace

std::size_t ArchiveReport::failedMembers() const {
  std::size_t n = 0;
  for (const MemberReport& m : members) n += !m.problem.empty();
  return n;
}

MemberStatus ExpandWhole(const ArchiveEntry& entry, std::vector<unsigned char>* buf,
                         std::size_t limit, std::size_t* expanded) {
  // Deflate rarely passes 1:10 on real files; start there and grow.
  if (limit == 0) limit = 1;
  std::size_t want = static_cast<std::size_t>(entry.compressedLength) * 10 + 4096;
  if (want > limit) want = limit;
  if (buf->size() < want) buf->resize(want);
  if (buf->size() > limit) buf->resize(limit);
  for (;;) {
    MemberStatus status = ExpandArchiveMember(entry, buf->data(), buf->size(), expanded);
    if (status != MemberStatus::TooBig || buf->size() >= limit) return status;
    buf->resize(buf->size() > limit / 2 ? limit : buf->size() * 2);
  }
}

ArchiveReport InspectArchive(const unsigned char* image, std::size_t size,
                             std::size_t expandLimit) {
  ArchiveReport report;
  report.imageSize = size;
  ArchiveWalk walk = BeginArchiveWalk(image, size);
  report.hasHeader = walk.stop != WalkStop::NoHeader;
  if (report.hasHeader) {
    report.variantByte = image[kArchiveVariantOffset];
    report.variant = walk.variant;
    report.count = walk.count;
    report.totalLength = walk.totalLength;
  }

  std::vector<unsigned char> buf;
  ArchiveEntry entry;
  while (NextArchiveEntry(walk, entry)) {
    MemberReport m;
    m.entry = entry;
    m.status = ExpandWhole(entry, &buf, expandLimit, &m.expandedSize);
    if (m.status == MemberStatus::Expanded)
      MemberDigest(buf.data(), static_cast<std::uint32_t>(m.expandedSize), m.digest);
    m.problem = CheckMember(report, m);
    report.members.push_back(std::move(m));
  }
  report.stop = walk.stop;
  report.walkEnd = walk.next;

  if (!report.hasHeader) {
    report.problems.push_back(Format("%zu bytes, shorter than the %zu-byte archive header", size,
                                     kArchiveHeaderSize));
    return report;
  }
  if (!WalkComplete(walk.stop)) {
    report.problems.push_back(Format(
        "entry %" PRIu32 " at offset %zu: %s; the header promises %" PRIu32 " members",
        walk.walked, walk.next, DescribeWalkStop(walk.stop), walk.count));
  } else if (report.totalLength < 0 ||
             static_cast<std::size_t>(report.totalLength) != report.walkEnd) {
    report.problems.push_back(Format("total length field says %" PRId32
                                     " but the entries end at offset %zu",
                                     report.totalLength, report.walkEnd));
  }
  if (report.variant == ArchiveVariant::Plain && size > kArchiveFileReadLimit)
    report.problems.push_back(Format(
        "plain archive of %zu bytes; the setup program reads only the first %zu bytes of one",
        size, kArchiveFileReadLimit));
  return report;
}

std::string FormatListing(const ArchiveReport& r, const std::string& file, bool gbkNames) {
  std::string out;
  if (!r.hasHeader) return out;
  out += Format("%s: %s archive (variant byte 0x%02X), %" PRIu32
                " members, total length %" PRId32 ", %zu bytes\n",
                file.c_str(), r.variant == ArchiveVariant::Hashed ? "hashed" : "plain",
                r.variantByte, r.count, r.totalLength, r.imageSize);
  out += Format("%5s %10s %10s %10s  %-32s  %s\n", "entry", "offset", "compressed", "expanded",
                "digest", "name");
  for (const MemberReport& m : r.members) {
    std::string expanded = m.status == MemberStatus::Expanded
                               ? Format("%zu", m.expandedSize)
                               : std::string("?");
    std::string digest = m.entry.digest ? DigestShown(m.entry.digest) : std::string("-");
    out += Format("%5" PRIu32 " %10zu %10" PRId32 " %10s  %-32s  ", m.entry.index, m.entry.offset,
                  m.entry.compressedLength, expanded.c_str(), digest.c_str());
    out += ShowName(m.entry.name, gbkNames);
    out += '\n';
  }
  return out;
}

std::string FormatFailures(const ArchiveReport& r, const std::string& file, bool gbkNames) {
  std::string out;
  for (const MemberReport& m : r.members) {
    if (m.problem.empty()) continue;
    out += Format("%s: member %" PRIu32 " \"", file.c_str(), m.entry.index);
    out += ShowName(m.entry.name, gbkNames);
    out += Format("\" at offset %zu: ", m.entry.offset);
    out += m.problem;
    out += '\n';
  }
  for (const std::string& p : r.problems) out += file + ": " + p + '\n';
  return out;
}
