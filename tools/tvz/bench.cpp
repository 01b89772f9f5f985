// tvz-bench: how fast our archive code expands, digests and packs the
// payload, side by side with common tools doing the same bytes. Prints
// figures; it is not a test.
//
// usage: tvz-bench PAYLOAD.tvz PAYLOAD_DIR
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <dirent.h>

#include "archive/archive_walk.h"
#include "archive/member_digest.h"
#include "tools/tvz/file_io.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;  // the best of three counts

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string SelfDir() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  return path.substr(0, path.find_last_of('/'));
}

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The best wall time of a shell command, or a negative number when it fails.
double TimeCommand(const std::string& command) {
  double best = -1;
  for (int i = 0; i < kRounds; ++i) {
    auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    double t = Seconds(start);
    if (best < 0 || t < best) best = t;
  }
  return best;
}

void Row(const char* what, double bytes, double seconds) {
  if (seconds < 0)
    std::printf("  %-52s %10s\n", what, "failed");
  else
    std::printf("  %-52s %8.1f MB/s  (%.3f s)\n", what, bytes / seconds / 1e6, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tvz-bench PAYLOAD.tvz PAYLOAD_DIR\n");
    return 2;
  }
  const std::string payload = argv[1];
  const std::string dir = argv[2];
  const std::string tvz = SelfDir() + "/tvz";
  std::vector<unsigned char> image;
  std::string error;
  if (!ReadWholeFile(payload, &image, &error)) {
    std::fprintf(stderr, "tvz-bench: %s\n", error.c_str());
    return 1;
  }

  char scratch[] = "/tmp/tvz-bench.XXXXXX";
  if (!mkdtemp(scratch)) return 1;
  const std::string tmp = scratch;

  // Our expansion and digest, the way the setup program does it: each
  // member into one fixed work buffer, then its MD5.
  std::vector<unsigned char> work(kWorkBufferBytes);
  std::vector<std::string> streams;
  double expandedBytes = 0;
  double ours = -1;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    expandedBytes = 0;
    ArchiveWalk walk = BeginArchiveWalk(image.data(), image.size());
    ArchiveEntry e;
    while (NextArchiveEntry(walk, e)) {
      std::size_t n = 0;
      if (ExpandArchiveMember(e, work.data() + kMemberDataOffset,
                              work.size() - kMemberDataOffset, &n) != MemberStatus::Expanded) {
        std::fprintf(stderr, "tvz-bench: member %u does not expand\n", e.index);
        return 1;
      }
      char digest[kDigestTextSize];
      MemberDigest(work.data() + kMemberDataOffset, static_cast<std::uint32_t>(n), digest);
      expandedBytes += static_cast<double>(n);
      if (round == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "/m%03u.zz", e.index);
        streams.push_back(tmp + name);
        WriteWholeFile(streams.back(), e.data, static_cast<std::size_t>(e.compressedLength),
                       &error);
      }
    }
    double t = Seconds(start);
    if (ours < 0 || t < ours) ours = t;
  }

  std::string allStreams;
  for (const std::string& s : streams) allStreams += " " + Quote(s);
  std::printf("expand and digest %zu payload members (%.1f MB expanded)\n", streams.size(),
              expandedBytes / 1e6);
  Row("ours, in process (expand into the work buffer, MD5)", expandedBytes, ours);
  Row("ours, tvz verify (whole process)", expandedBytes,
      TimeCommand(Quote(tvz) + " verify " + Quote(payload) + " >/dev/null"));
  if (Have("pigz"))
    Row("peer, pigz -dc | md5sum", expandedBytes,
        TimeCommand("pigz -dc" + allStreams + " | md5sum >/dev/null"));
  else if (Have("zlib-flate"))
    Row("peer, zlib-flate -uncompress | md5sum", expandedBytes,
        TimeCommand("cat" + allStreams + " | zlib-flate -uncompress | md5sum >/dev/null"));
  else
    std::printf("  (no pigz or zlib-flate here for a peer)\n");

  // Packing: every file of the payload directory, at zlib's default level.
  std::string files;
  double inputBytes = 0;
  int count = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* ent = readdir(d)) {
      if (ent->d_name[0] == '.') continue;
      std::string path = dir + "/" + ent->d_name;
      std::vector<unsigned char> data;
      if (!ReadWholeFile(path, &data, &error)) continue;
      inputBytes += static_cast<double>(data.size());
      files += " " + Quote(path);
      ++count;
    }
    closedir(d);
  }
  std::printf("pack %d files of %s (%.1f MB)\n", count, dir.c_str(), inputBytes / 1e6);
  Row("ours, tvz pack", inputBytes,
      TimeCommand(Quote(tvz) + " pack " + Quote(tmp + "/packed.tvz") + files));
  Row("peer, gzip -6", inputBytes, TimeCommand("gzip -6 -c" + files + " >/dev/null"));

  std::system(("rm -rf " + Quote(tmp)).c_str());
  return 0;
}
