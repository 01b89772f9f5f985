// The payload as the program meets it on Windows: the resource in
// setup-x64.exe, the member lookup in the work buffer, and the digest from
// the system's MD5 functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/archive_walk.h"
#include "archive/file_digest.h"
#include "archive/member_digest.h"
#include "archive/payload_member.h"
#include "driver/run_state.h"
#include "location/holders.h"
#include "win_fixture.h"

namespace {

// The x86_64 build directory: this program lives in its tests\win.
std::string BuildDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  for (int up = 0; up < 3; ++up) dir.erase(dir.find_last_of('\\'));
  return dir + "\\";
}

std::string Digest(const void* data, std::uint32_t size) {
  char out[kDigestTextSize + 1];
  out[kDigestTextSize] = '#';
  MemberDigest(data, size, out);
  EXPECT_EQ(out[32], '\0');
  EXPECT_EQ(out[33], '\0');
  EXPECT_EQ(out[34], '#');
  return std::string(out);
}

class PayloadResource : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA((BuildDir() + "setup-x64.exe").c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
    HRSRC res = FindResourceExA(module_, "TVZ", "VEMOTVZ",
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_NE(res, nullptr) << "no TVZ VEMOTVZ resource of language 2052";
    size_ = SizeofResource(module_, res);
    HGLOBAL loaded = LoadResource(module_, res);
    image_ = static_cast<const unsigned char*>(LockResource(loaded));
    ASSERT_NE(image_, nullptr);
  }
  void TearDown() override {
    g_run.payload = nullptr;
    g_run.payloadSize = 0;
    g_run.work = nullptr;
    g_run.workSize = 0;
    if (module_) FreeLibrary(module_);
  }

  HMODULE module_ = nullptr;
  const unsigned char* image_ = nullptr;
  DWORD size_ = 0;
};

}  // namespace

TEST_F(PayloadResource, IsThePackedArchiveByteForByte) {
  auto packed = ReadBytes(BuildDir() + "payload\\payload.tvz");
  ASSERT_TRUE(packed.has_value());
  ASSERT_EQ(size_, packed->size());
  EXPECT_EQ(std::memcmp(image_, packed->data(), size_), 0);

  ArchiveWalk walk = BeginArchiveWalk(image_, size_);
  ArchiveEntry entry;
  while (NextArchiveEntry(walk, entry)) {
  }
  EXPECT_EQ(walk.walked, 79u);
  EXPECT_EQ(walk.stop, WalkStop::Done);
  EXPECT_EQ(walk.next, static_cast<std::size_t>(walk.totalLength));
}

TEST_F(PayloadResource, LookupExpandsTheBitmapIntoTheWorkBuffer) {
  GlobalBlock work(GMEM_MOVEABLE | GMEM_ZEROINIT, kWorkBufferSize);
  ASSERT_TRUE(work.ok());
  g_run.payload = image_;
  g_run.payloadSize = size_;
  g_run.work = work.data();
  g_run.workSize = work.size();

  EXPECT_EQ(LoadArchiveMember("vemo1.bmp"), MemberStatus::Expanded);
  EXPECT_EQ(std::memcmp(work.data() + 100, "BM", 2), 0);

  // The digest of the expanded bytes from the system's MD5 is the one the
  // host tool stored when it packed the payload.
  ArchiveEntry entry;
  ASSERT_TRUE(FindArchiveMember(image_, size_, "vemo1.bmp", entry));
  EXPECT_EQ(Digest(work.data() + 100, 373296), std::string(entry.digest, kDigestHexSize));

  EXPECT_EQ(LoadArchiveMember("VEMO1.BMP"), MemberStatus::NotFound);
  EXPECT_EQ(work.data()[100], 0);
  EXPECT_EQ(work.data()[101], 0);
}

TEST(PayloadResourceAbsent, Setupw64CarriesNoPayload) {
  HMODULE module = LoadLibraryExA((BuildDir() + "setupw64.exe").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(FindResourceA(module, "VEMOTVZ", "TVZ"), nullptr);
  FreeLibrary(module);
}

TEST(MemberDigestWin, SystemMd5GivesTheHostDigests) {
  EXPECT_EQ(Digest("abc", 3), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Digest("", 0), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Digest("message digest", 14), "F96B697D7CB7938D525A2F31AAF161D0");
}

TEST(FileDigestWin, ReadsTheWholeFile) {
  std::string dir = TempDir();
  ASSERT_TRUE(WriteBytes(dir + "abc.txt", "abc"));
  ASSERT_TRUE(WriteBytes(dir + "empty.txt", ""));
  char out[kDigestTextSize];

  EXPECT_EQ(FileDigest((dir + "abc.txt").c_str(), out), 3u);
  EXPECT_STREQ(out, "900150983CD24FB0D6963F7D28E17F72");

  EXPECT_EQ(FileDigest((dir + "empty.txt").c_str(), out), 0u);
  EXPECT_STREQ(out, "D41D8CD98F00B204E9800998ECF8427E");

  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(FileDigest((dir + "absent.txt").c_str(), out), 0u);
  EXPECT_EQ(std::string(out, sizeof out), std::string(kDigestTextSize, '\0'));
}
