#include "location/settings_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "driver/run_state.h"
#include "location/install_dir.h"
#include "win_fixture.h"

namespace {

class SettingsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir();
    std::strcpy(g_location.dir, dir_.c_str());
    g_sites = SiteAddresses{};
    g_run.edition = 0;
    g_run.oldDataState = 0;
    g_run.statusWindowMode = 1;
    g_machine.oemCodePage = 936;
    work_.assign(kWorkBufferSize, 0);
    g_run.work = work_.data();
    g_run.workSize = work_.size();
  }
  void TearDown() override {
    g_run.work = nullptr;
    g_run.workSize = 0;
  }
  std::string dir_;
  std::vector<unsigned char> work_;
};

std::string Utf16Bytes(const wchar_t* s) {
  return std::string(reinterpret_cast<const char*>(s), std::wcslen(s) * sizeof(wchar_t));
}

}  // namespace

TEST_F(SettingsFiles, EditionAndSiteAddressFiles) {
  WriteSettingsFiles();
  EXPECT_EQ(ReadBytes(dir_ + "wbpybz.tvh"), std::string("TVWBPYBZ=0\0", 11));
  EXPECT_EQ(ReadBytes(dir_ + "tvnetsj.dat"),
            std::string("TVNETURL1=\r\nTVNETURL2=\r\nTVNETTIME=1\r\nTVBJTIME=7\r\nTVWYTIME=3\r\n"
                        "TVSJOFF=0\r\nTVNETTIME0=0\r\nTVBJTIME0=0\r\nTVNEONE=1\r\n"));

  g_run.edition = 1;
  std::strcpy(g_sites.unitSite, "www.unit.cn");
  std::strcpy(g_sites.governmentSite, "www.gov.cn");
  WriteSettingsFiles();
  EXPECT_EQ(ReadBytes(dir_ + "wbpybz.tvh"), std::string("TVWBPYBZ=1\0", 11));

  // Read back into real edit fields, the way the site-address page shows them.
  HWND unit = CreateWindowExA(0, "EDIT", " ", 0, 0, 0, 230, 20, nullptr, nullptr, nullptr, nullptr);
  HWND gov = CreateWindowExA(0, "EDIT", " ", 0, 0, 0, 230, 20, nullptr, nullptr, nullptr, nullptr);
  g_sites = SiteAddresses{};
  LoadSiteAddresses(unit, gov);
  char text[100];
  GetWindowTextA(unit, text, sizeof text);
  EXPECT_STREQ(text, "www.unit.cn");
  GetWindowTextA(gov, text, sizeof text);
  EXPECT_STREQ(text, "www.gov.cn");

  DeleteFileA((dir_ + "tvnetsj.dat").c_str());
  LoadSiteAddresses(unit, gov);
  GetWindowTextA(unit, text, sizeof text);
  EXPECT_STREQ(text, "") << "no file: both fields empty";
  DestroyWindow(unit);
  DestroyWindow(gov);
}

TEST_F(SettingsFiles, StatusWindowRecord) {
  // No record yet: the built-in values, then the chosen mode.
  g_run.statusWindowMode = 3;
  WriteStatusWindowRecord();
  auto rec = ReadBytes(dir_ + "tvszsj43.tvh");
  ASSERT_TRUE(rec.has_value());
  ASSERT_EQ(rec->size(), 200u);
  EXPECT_EQ((*rec)[0], 4);
  EXPECT_EQ((*rec)[21], 1);
  EXPECT_EQ((*rec)[8], 54);
  EXPECT_EQ((*rec)[1], 1);

  // An earlier record keeps the bytes the program does not own.
  std::string earlier(200, '\x05');
  WriteBytes(dir_ + "tvszsj43.tvh", earlier);
  g_run.statusWindowMode = 2;
  WriteStatusWindowRecord();
  rec = ReadBytes(dir_ + "tvszsj43.tvh");
  EXPECT_EQ((*rec)[0], 1);
  EXPECT_EQ((*rec)[15], 5) << "code page 936 keeps offset 15";
  EXPECT_EQ((*rec)[62], 0);
  EXPECT_EQ((*rec)[100], 5);

  // The user keeps the earlier data: the record is not touched.
  g_run.oldDataState = 2;
  WriteBytes(dir_ + "tvszsj43.tvh", earlier);
  WriteStatusWindowRecord();
  EXPECT_EQ(ReadBytes(dir_ + "tvszsj43.tvh"), earlier);
}

TEST_F(SettingsFiles, PatchVersionTextRewritesWholeFilesOnly) {
  const std::string module = "MZ..." + Utf16Bytes(L"智能岚溪输入平台 V6.7") + "...";
  const std::string patched = "MZ..." + Utf16Bytes(L"智能岚溪输入平台 V7.3") + "...";
  WriteBytes(dir_ + "tavo320.ime", module);
  PatchVersionText((dir_ + "tavo320.ime").c_str());
  EXPECT_EQ(ReadBytes(dir_ + "tavo320.ime"), patched);

  // Exactly the limit is still read whole; one byte more is left alone.
  std::string atLimit = module + std::string(0x20000 - module.size(), 'x');
  WriteBytes(dir_ + "limit.ime", atLimit);
  PatchVersionText((dir_ + "limit.ime").c_str());
  EXPECT_EQ(ReadBytes(dir_ + "limit.ime")->substr(0, patched.size()), patched);

  std::string tooBig = atLimit + "x";
  WriteBytes(dir_ + "big.ime", tooBig);
  PatchVersionText((dir_ + "big.ime").c_str());
  EXPECT_EQ(ReadBytes(dir_ + "big.ime"), tooBig);

  PatchVersionText((dir_ + "missing.ime").c_str());
  EXPECT_FALSE(ReadBytes(dir_ + "missing.ime").has_value());

  g_run.work = nullptr;
  WriteBytes(dir_ + "tavo640.ime", module);
  PatchVersionText((dir_ + "tavo640.ime").c_str());
  EXPECT_EQ(ReadBytes(dir_ + "tavo640.ime"), module) << "no work buffer: nothing done";
}
