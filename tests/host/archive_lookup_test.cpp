#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/archive_walk.h"
#include "archive_samples.h"

namespace {

// A work buffer inside a larger block: the bytes behind it must survive
// whatever the lookup does.
class WorkBuffer {
 public:
  explicit WorkBuffer(std::size_t size) : block_(size + kGuard, 0xAA), size_(size) {}
  unsigned char* data() { return block_.data(); }
  std::size_t size() const { return size_; }
  std::string At100(std::size_t n) const {
    return std::string(reinterpret_cast<const char*>(block_.data()) + 100, n);
  }
  bool GuardIntact() const {
    for (std::size_t i = size_; i < block_.size(); ++i)
      if (block_[i] != 0xAA) return false;
    return true;
  }

 private:
  static constexpr std::size_t kGuard = 4096;
  Bytes block_;
  std::size_t size_;
};

MemberStatus Load(const Bytes& image, const char* name, WorkBuffer& work, std::size_t* n = nullptr) {
  return LoadMemberInto(image.data(), image.size(), name, work.data(), work.size(), n);
}

const std::string kBitmap = "BM" + std::string(2000, '\x11');

}  // namespace

TEST(LoadMember, ExpandsTheNamedMemberFromOffset100) {
  Bytes image = BuildSampleArchive({{"blank.jpg", "jpeg"}, {"vemo1.bmp", kBitmap}});
  WorkBuffer work(8192);
  std::size_t n = 0;
  EXPECT_EQ(Load(image, "vemo1.bmp", work, &n), MemberStatus::Expanded);
  EXPECT_EQ(n, kBitmap.size());
  EXPECT_EQ(work.At100(n), kBitmap);
  EXPECT_TRUE(work.GuardIntact());
}

// Every way of not finding a member ends the same: bytes 100 and 101 zero.
TEST(LoadMember, LeavesBytes100And101ZeroWhenThereIsNothingToExpand) {
  Bytes image = BuildSampleArchive({{"vemo1.bmp", kBitmap}, {"empty.txt", ""}});
  Bytes countZero = image;
  PutLE32(countZero, kArchiveCountOffset, 0);
  Bytes zeroLength = image;
  PutLE32(zeroLength, 10 + 52, 0);  // the bitmap entry now holds no data
  zeroLength.resize(10 + 56);
  PutLE32(zeroLength, kArchiveCountOffset, 1);
  struct Case {
    const char* what;
    const Bytes* image;
    const char* name;
    MemberStatus status;
  };
  const Case cases[] = {
      {"absent name", &image, "tvxz0.bmp", MemberStatus::NotFound},
      {"name in other letter case", &image, "VEMO1.BMP", MemberStatus::NotFound},
      {"prefix of a name", &image, "vemo1", MemberStatus::NotFound},
      {"member count 0", &countZero, "vemo1.bmp", MemberStatus::NotFound},
      {"compressed length 0", &zeroLength, "vemo1.bmp", MemberStatus::Empty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WorkBuffer work(8192);
    work.data()[102] = 0x77;
    EXPECT_EQ(Load(*c.image, c.name, work), c.status);
    EXPECT_EQ(work.data()[100], 0);
    EXPECT_EQ(work.data()[101], 0);
    EXPECT_EQ(work.data()[102], 0x77);  // nothing else written
  }
}

TEST(LoadMember, FindsTheFirstOfTwoEquallyNamedMembers) {
  Bytes image = BuildSampleArchive({{"dup.txt", "first copy"}, {"dup.txt", "second copy"}});
  WorkBuffer work(4096);
  std::size_t n = 0;
  ASSERT_EQ(Load(image, "dup.txt", work, &n), MemberStatus::Expanded);
  EXPECT_EQ(work.At100(n), "first copy");
}

TEST(LoadMember, NeverWritesPastTheWorkBuffer) {
  Bytes image = BuildSampleArchive({{"vemo1.bmp", kBitmap}});
  // Exactly enough room works; one byte less does not, and leaves no
  // half-expanded bitmap that could pass for one.
  WorkBuffer exact(100 + kBitmap.size());
  EXPECT_EQ(Load(image, "vemo1.bmp", exact), MemberStatus::Expanded);
  EXPECT_TRUE(exact.GuardIntact());

  WorkBuffer short1(100 + kBitmap.size() - 1);
  EXPECT_EQ(Load(image, "vemo1.bmp", short1), MemberStatus::TooBig);
  EXPECT_EQ(short1.data()[100], 0);
  EXPECT_EQ(short1.data()[101], 0);
  EXPECT_TRUE(short1.GuardIntact());

  WorkBuffer tiny(50);  // not even room for offset 100
  EXPECT_EQ(Load(image, "vemo1.bmp", tiny), MemberStatus::TooBig);
  EXPECT_TRUE(tiny.GuardIntact());
}

TEST(LoadMember, ReportsACorruptStream) {
  Bytes image = BuildSampleArchive({{"vemo1.bmp", kBitmap}});
  image[10 + 56 + 5] ^= 0xFF;  // inside the deflate data
  WorkBuffer work(8192);
  EXPECT_EQ(Load(image, "vemo1.bmp", work), MemberStatus::Corrupt);
  EXPECT_TRUE(work.GuardIntact());
}

TEST(LoadMember, DoesNotLookPastABadEntry) {
  Bytes image = BuildSampleArchive({{"a.txt", "a"}, {"vemo1.bmp", kBitmap}});
  image[10 + 56 + GetLE32(image, 10 + 52)] = 'X';  // second entry loses its "CF"
  WorkBuffer work(8192);
  EXPECT_EQ(Load(image, "vemo1.bmp", work), MemberStatus::NotFound);
}
