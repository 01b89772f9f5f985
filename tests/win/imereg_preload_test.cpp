#include "imereg/preload.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "imereg_fixture.h"
#include "win_fixture.h"

namespace {

const std::string kOlderText = Narrow(L"智能岚溪输入平台  7.2", 936);
const std::string kBig5Text = Narrow(L"智能嵐溪輸入平台  7.3", 950);

std::string WindowsSysWow64() { return WindowsDir() + "\\syswow64"; }

// These run on 32-bit Windows 7: the earlier version is looked for.
class EarlierVersion : public ::testing::Test {
 protected:
  void SetUp() override {
    g_preload = PreloadState{};
    ResetLayouts({{"00000409", "US"},
                  {"00000804", "Chinese"},
                  {"E0200804", kOlderText},
                  {"E0300804", kOlderText}});
  }
};

}  // namespace

TEST_F(EarlierVersion, FirstPositionWithTheIMEsTextIsFound) {
  if (GetOEMCP() == 950) GTEST_SKIP() << "texts in GBK";
  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"00000804", "e0200804", "E0300804"});
  EXPECT_EQ(FindEarlierVersion(), 1);
  EXPECT_EQ(g_preload.count, 3);
  EXPECT_EQ(g_preload.earlierPosition, 2);
  EXPECT_EQ(g_preload.earlierFlag, 4);
  EXPECT_STREQ(g_preload.ids[1], "e0200804");
  EXPECT_EQ(std::string(g_preload.texts[0]), "Chinese");
  EXPECT_EQ(std::string(g_preload.texts[1]), kOlderText);

  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"00000804", "00000409"});
  EXPECT_EQ(FindEarlierVersion(), 0);
  EXPECT_EQ(g_preload.count, 2);
  EXPECT_EQ(g_preload.earlierFlag, 0);
  EXPECT_EQ(g_preload.earlierPosition, 0);
}

TEST_F(EarlierVersion, ValuesThatDoNotFitTheirSlotEndTheList) {
  if (GetOEMCP() == 950) GTEST_SKIP() << "texts in GBK";
  struct Case {
    const char* what;
    std::string second;
    bool withoutZero;
    int count;
  } cases[] = {
      {"8 characters stored without a zero are read", "e0200804", true, 3},
      {"9 characters and the zero: 10 bytes", "e02008041", false, 1},
      {"9 characters without a zero", "e02008041", true, 1},
      {"far too long", std::string(300, 'e'), false, 1},
  };
  for (const Case& c : cases) {
    SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"00000804", "x", "E0300804"});
    SetNarrowValue(HKEY_CURRENT_USER, "keyboard layout\\preload", "2", c.second, c.withoutZero);
    std::memset(g_preload.ids, '#', sizeof g_preload.ids);
    FindEarlierVersion();
    EXPECT_EQ(g_preload.count, c.count) << c.what;
    for (int k = 0; k < c.count; ++k)
      EXPECT_LT(strnlen(g_preload.ids[k], kPreloadIdSize), kPreloadIdSize) << c.what << k;
    if (c.count == 1) {  // the slot after the one that failed is untouched
      EXPECT_EQ(std::string(g_preload.ids[2], kPreloadIdSize), std::string(kPreloadIdSize, '#'));
    }
    EXPECT_EQ(g_preload.earlierPosition, c.count == 3 ? 2 : 0) << c.what;
  }
}

TEST_F(EarlierVersion, FortyNineFilledPositions) {
  std::vector<std::string> ids(49, "00000409");
  ids[48] = "e0200804";
  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", ids);
  FindEarlierVersion();
  EXPECT_EQ(g_preload.count, 49);
  EXPECT_EQ(g_preload.earlierPosition, 49);
}

TEST_F(EarlierVersion, NothingIsFoundOnBig5SystemsOn64BitWindowsOrWithoutKeys) {
  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"e0200804"});
  if (GetOEMCP() == 950) {
    // The same list on a Big5 system, with the text this system writes.
    ResetLayouts({{"E0200404", kBig5Text}});
    SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"e0200404"});
    EXPECT_EQ(FindEarlierVersion(), 0);
    EXPECT_EQ(g_preload.count, 1);
    return;
  }
  ASSERT_EQ(FindEarlierVersion(), 1);

  // A syswow64 directory makes this Windows 7 a 64-bit one.
  ASSERT_TRUE(CreateDirectoryA(WindowsSysWow64().c_str(), nullptr));
  EXPECT_EQ(FindEarlierVersion(), 0);
  EXPECT_EQ(g_preload.count, 0);
  RemoveDirectoryA(WindowsSysWow64().c_str());

  DeleteTree(HKEY_LOCAL_MACHINE, kLayoutsPath);
  EXPECT_EQ(FindEarlierVersion(), 0);
  EXPECT_EQ(ReadPreloadList(), 0);
}

TEST_F(EarlierVersion, Windows98ListIsReadFromNumberedSubKeys) {
  if (GetOEMCP() == 950) GTEST_SKIP() << "texts in GBK";
  FamilyOverride win98(kVersion98);
  Set9xPreload({"00000804", "E0300804", "00000409"});
  EXPECT_EQ(FindEarlierVersion(), 1);
  EXPECT_EQ(g_preload.count, 3);
  EXPECT_EQ(g_preload.earlierPosition, 2);
}

TEST_F(EarlierVersion, MovesUpToSecondPlaceOnlyOnWindowsXPAndEarlier) {
  if (GetOEMCP() == 950) GTEST_SKIP() << "texts in GBK";
  const std::vector<std::string> before = {"00000804", "00000409", "00000411", "e0200804",
                                           "00000412"};
  const std::vector<std::string> moved = {"00000804", "e0200804", "00000409", "00000411",
                                          "00000412"};
  SetNtPreload(HKEY_USERS, kDefaultLayoutPath, {"00000409"});

  // Windows 7 as it is: nothing moves.
  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", before);
  ASSERT_EQ(FindEarlierVersion(), 1);
  ASSERT_GT(g_machine.winMajor, 5u);
  MovePreloadEntryToSecond();
  EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"), before);

  // Windows XP: values 2 to 5 are rewritten in both lists.
  FindEarlierVersion();
  g_machine.winMajor = 5;
  {
    WriteRecorder rec;
    MovePreloadEntryToSecond();
    EXPECT_EQ(rec.writes().size(), 8u);
    for (const RecordedWrite& w : rec.writes()) EXPECT_EQ(w.data.size(), 8u) << w.name;
  }
  EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"), moved);
  std::vector<std::string> defaultAfter = moved;
  defaultAfter[0] = "00000409";  // position 1 of that list is its own
  EXPECT_EQ(NtPreload(HKEY_USERS, kDefaultLayoutPath), defaultAfter);
  EXPECT_STREQ(g_preload.ids[1], "e0200804");

  // Already second: nothing moves.
  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"00000804", "e0200804", "00000409"});
  FindEarlierVersion();
  g_machine.winMajor = 5;
  MovePreloadEntryToSecond();
  EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"),
            (std::vector<std::string>{"00000804", "e0200804", "00000409"}));
}

TEST_F(EarlierVersion, Windows98ListsAreMovedAndSwappedInTheirSubKeys) {
  if (GetOEMCP() == 950) GTEST_SKIP() << "texts in GBK";
  FamilyOverride win98(kVersion98);
  Set9xPreload({"00000804", "00000409", "E0200804", "00000411"});
  FindEarlierVersion();
  g_machine.winMajor = 4;
  MovePreloadEntryToSecond();
  EXPECT_EQ(Preload9x(), (std::vector<std::string>{"00000804", "E0200804", "00000409", "00000411"}));

  Set9xPreload({"E0200804", "00000804"});
  FindEarlierVersion();
  SwapFirstPreloadEntries();
  EXPECT_EQ(Preload9x(), (std::vector<std::string>{"00000804", "E0200804"}));

  // An entry too long for its slot reads as empty there; rewriting the
  // list would empty the user's default or lose that entry.
  const std::string tooLong = "000008041234";
  Set9xPreload({"E0200804", tooLong});
  FindEarlierVersion();
  ASSERT_EQ(g_preload.count, 2);
  SwapFirstPreloadEntries();
  EXPECT_EQ(Preload9x(), (std::vector<std::string>{"E0200804", tooLong}));

  Set9xPreload({"00000804", tooLong, "E0200804"});
  FindEarlierVersion();
  ASSERT_EQ(g_preload.earlierPosition, 3);
  g_machine.winMajor = 4;
  MovePreloadEntryToSecond();
  EXPECT_EQ(Preload9x(), (std::vector<std::string>{"00000804", tooLong, "E0200804"}));
}

namespace {

// Loaded layouts described the way the IME module describes itself.
HKL g_imeLayouts[4];
int g_describeCalls = 0;

UINT WINAPI DescribeChosen(HKL layout, LPSTR buf, UINT cap) {
  ++g_describeCalls;
  static const std::string ime = Narrow(L"智能岚溪输入平台", 936) + " 7.3";
  std::string text = "Other IME";
  for (HKL h : g_imeLayouts)
    if (h && h == layout) text = ime;
  if (!buf || cap == 0) return static_cast<UINT>(text.size());
  lstrcpynA(buf, text.c_str(), static_cast<int>(cap));
  return static_cast<UINT>(text.size());
}

// Wine refuses to switch the layout of a whole process; the calls are
// recorded, then made.
struct Activation {
  HKL layout;
  UINT flags;
  bool operator==(const Activation& o) const { return layout == o.layout && flags == o.flags; }
};
std::vector<Activation> g_activations;

HKL WINAPI RecordActivation(HKL layout, UINT flags) {
  g_activations.push_back({layout, flags});
  return ActivateKeyboardLayout(layout, flags);
}

HKL InstallTestIme(const wchar_t* file) {
  std::wstring path = Widen(SystemDir()) + L"\\" + file;
  return ImmInstallIMEW(path.c_str(), const_cast<wchar_t*>(L"test layout"));
}

class ActivateIme : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(g_imeLayouts, 0, sizeof g_imeLayouts);
    g_describeCalls = 0;
    g_activations.clear();
    g_ime.describeLayout = DescribeChosen;
    g_ime.activateLayout = RecordActivation;
    g_ime.installedLayout = nullptr;
    original_ = GetKeyboardLayout(0);
    g_run.page = 8;
  }
  void TearDown() override {
    g_ime.describeLayout = ImmGetDescriptionA;
    g_ime.activateLayout = ActivateKeyboardLayout;
    ActivateKeyboardLayout(original_, 0);
    g_run.page = 0;
  }
  static std::vector<Activation> ForProcess(HKL layout, size_t times) {
    return std::vector<Activation>(times, Activation{layout, KLF_SETFORPROCESS});
  }
  HKL original_ = nullptr;
};

}  // namespace

TEST_F(ActivateIme, KnownLayoutIsActivatedOnEveryPaintFromPage7On) {
  HKL ime = InstallTestIme(L"tavotest1.ime");
  ASSERT_NE(ime, nullptr);
  ASSERT_NE(ime, original_);
  g_ime.installedLayout = ime;

  g_run.page = 6;
  ActivateInstalledIme();
  EXPECT_TRUE(g_activations.empty()) << "nothing before page 7";
  EXPECT_EQ(g_describeCalls, 0);

  g_run.page = 7;
  ActivateInstalledIme();
  g_run.page = 8;
  ActivateInstalledIme();
  ActivateInstalledIme();
  EXPECT_EQ(g_activations, ForProcess(ime, 3));
  EXPECT_EQ(g_describeCalls, 3) << "only the active layout is looked at";
}

TEST_F(ActivateIme, UnknownLayoutIsFoundAmongTheLoadedOnesByItsDescription) {
  HKL first = InstallTestIme(L"tavotest2.ime");
  HKL second = InstallTestIme(L"tavotest3.ime");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  HKL loaded[50];
  int n = GetKeyboardLayoutList(50, loaded);
  int firstAt = -1, secondAt = -1;
  for (int i = 0; i < n; ++i) {
    if (loaded[i] == first) firstAt = i;
    if (loaded[i] == second) secondAt = i;
  }
  ASSERT_GE(firstAt, 0) << "installed layouts are loaded";
  ASSERT_GE(secondAt, 0);

  // Only the second describes itself as the IME; once found it is kept.
  g_imeLayouts[0] = second;
  ActivateInstalledIme();
  EXPECT_EQ(g_ime.installedLayout, second);
  int describedFirstTime = g_describeCalls;
  ActivateInstalledIme();
  EXPECT_EQ(g_describeCalls, describedFirstTime + 1) << "no second search";
  EXPECT_EQ(g_activations, ForProcess(second, 2));

  // Both do: the one earlier in the list.
  g_ime.installedLayout = nullptr;
  g_imeLayouts[1] = first;
  ActivateInstalledIme();
  EXPECT_EQ(g_ime.installedLayout, firstAt < secondAt ? first : second);

  // None does: nothing is kept or activated.
  g_activations.clear();
  g_ime.installedLayout = nullptr;
  std::memset(g_imeLayouts, 0, sizeof g_imeLayouts);
  ActivateInstalledIme();
  EXPECT_EQ(g_ime.installedLayout, nullptr);
  EXPECT_TRUE(g_activations.empty());
}

TEST_F(ActivateIme, NothingHappensWhileTheIMEIsActive) {
  HKL ime = InstallTestIme(L"tavotest4.ime");
  ASSERT_NE(ime, nullptr);
  ActivateKeyboardLayout(ime, 0);
  ASSERT_EQ(GetKeyboardLayout(0), ime);
  g_imeLayouts[0] = ime;
  ActivateInstalledIme();
  EXPECT_EQ(g_ime.installedLayout, nullptr) << "no search while the IME is active";
  EXPECT_TRUE(g_activations.empty());
  EXPECT_EQ(g_describeCalls, 1);
}
