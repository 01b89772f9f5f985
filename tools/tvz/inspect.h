// What tvz list and tvz verify see in an archive image: every entry the
// walk reaches, expanded and, in hashed archives, checked against its
// stored digest, and every way the archive would fail the setup program.
// The image is untrusted; this is the code the inspect fuzzer runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_walk.h"

// The tool expands members it has never seen; past this it gives up.
constexpr std::size_t kToolExpandLimit = std::size_t{256} << 20;

struct MemberReport {
  ArchiveEntry entry;
  MemberStatus status = MemberStatus::NotFound;
  std::size_t expandedSize = 0;
  char digest[kDigestTextSize] = {};  // of the expanded bytes
  std::string problem;                // empty when the member is good
};

struct ArchiveReport {
  std::size_t imageSize = 0;
  bool hasHeader = false;
  unsigned char variantByte = 0;
  ArchiveVariant variant = ArchiveVariant::Plain;
  std::uint32_t count = 0;
  std::int32_t totalLength = 0;
  WalkStop stop = WalkStop::None;
  std::size_t walkEnd = 0;
  std::vector<MemberReport> members;
  std::vector<std::string> problems;  // of the archive as a whole

  std::size_t failedMembers() const;
  bool good() const { return problems.empty() && failedMembers() == 0; }
};

// expandLimit bounds the memory spent on one member. The report's entries
// point into the image; keep it while the report is used.
ArchiveReport InspectArchive(const unsigned char* image, std::size_t size,
                             std::size_t expandLimit = kToolExpandLimit);

// Expands an entry whole into buf, growing it up to limit bytes.
MemberStatus ExpandWhole(const ArchiveEntry& entry, std::vector<unsigned char>* buf,
                         std::size_t limit, std::size_t* expanded);

// The texts tvz prints: the table of members, and the failures with their
// places. Names are shown as bytes, or as UTF-8 when gbkNames is set.
std::string FormatListing(const ArchiveReport& report, const std::string& file, bool gbkNames);
std::string FormatFailures(const ArchiveReport& report, const std::string& file, bool gbkNames);
