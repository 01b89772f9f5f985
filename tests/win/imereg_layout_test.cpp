#include "imereg/layout_register.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "driver/run_state.h"
#include "imereg/ime_install.h"
#include "imereg_fixture.h"
#include "win_fixture.h"

namespace {

const std::string kGbkText = Narrow(L"智能岚溪输入平台  7.3", 936);
const std::string kBig5Text = Narrow(L"智能嵐溪輸入平台  7.3", 950);
// An earlier version's text: the same first 16 bytes.
const std::string kOlderGbkText = Narrow(L"智能岚溪输入平台  7.1", 936);

std::string LayoutPath(const std::string& name) { return std::string(kLayoutsPath) + "\\" + name; }

std::vector<std::string> SortedLayouts() {
  std::vector<std::string> names = SubKeys(HKEY_LOCAL_MACHINE, kLayoutsPath);
  for (std::string& n : names) std::transform(n.begin(), n.end(), n.begin(), ::toupper);
  std::sort(names.begin(), names.end());
  return names;
}

class LayoutRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    g_machine.oemCodePage = GetOEMCP();
    SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {});
  }
  void TearDown() override { g_machine.oemCodePage = 0; }

  // The text this system's code page gives the IME's layout key.
  const std::string& OwnText() const { return GetOEMCP() == 950 ? kBig5Text : kGbkText; }
  std::string Suffix() const { return GetOEMCP() == 950 ? "404" : "804"; }
};

}  // namespace

TEST_F(LayoutRegistration, NewKeyGrowsFromTheHighestIdentifierWithALayoutText) {
  const std::string s = Suffix();
  struct Case {
    const char* what;
    std::vector<LayoutKey> keys;
    std::string created;
  } cases[] = {
      {"no IME keys at all", {{"00000409", "US"}, {"00000804", "Chinese"}}, "E0010" + s},
      {"after E0200804", {{"00000409", "US"}, {"E0200804", "other"}, {"E0100804", "x"}},
       "E0210" + s},
      {"the language part is this system's", {{"E0220409", "other"}}, "E0230" + s},
      {"a key without layout text does not count",
       {{"E0500804", std::nullopt}, {"E0200804", "other"}},
       "E0210" + s},
      {"an empty Keyboard Layouts key", {}, "E0010" + s},
  };
  for (const Case& c : cases) {
    ResetLayouts(c.keys);
    RegisterLayoutManually();
    std::vector<std::string> expected;
    for (const LayoutKey& k : c.keys) expected.push_back(k.name);
    expected.push_back(c.created);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLayouts(), expected) << c.what;
    EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(c.created), "layout text"), OwnText())
        << c.what;
    std::string entry = c.created;
    std::transform(entry.begin(), entry.end(), entry.begin(), ::tolower);
    EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"), std::vector<std::string>{entry})
        << c.what;
    SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {});
  }
}

TEST_F(LayoutRegistration, TheIMEsOwnKeyIsRewrittenInPlace) {
  const std::string own = "E0210" + Suffix();
  ResetLayouts({{"00000409", "US"}, {own, OwnText()}, {"E0300804", "other"}});
  SetNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(own), "IME file", "OLD.IME");
  SetNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(own), "layout file", "old.dll");
  RegisterLayoutManually();
  EXPECT_EQ(SortedLayouts(), (std::vector<std::string>{"00000409", own, "E0300804"}));
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(own), "IME file"), "TAVOHU4.IME");
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(own), "layout file"), "kbdus.dll");
}

TEST_F(LayoutRegistration, FirstMatchInScanOrderWinsAndAStaleLanguagePartIsReplaced) {
  if (GetOEMCP() == 950) GTEST_SKIP() << "GBK texts";
  // The scan runs from the highest enumeration index down; the registry
  // enumerates sub keys by name, so E0250804 comes before E0210804.
  ResetLayouts({{"E0210804", kOlderGbkText}, {"E0250804", kOlderGbkText}});
  RegisterLayoutManually();
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath("E0250804"), "layout text"), kGbkText);
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath("E0210804"), "layout text"),
            kOlderGbkText);
  EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"), std::vector<std::string>{"e0250804"});

  // A key left by an install on a Big5 system: deleted, made again as 804.
  ResetLayouts({{"00000409", "US"}, {"E0200404", kOlderGbkText}});
  SetNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath("E0200404"), "IME file", "OLD.IME");
  SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", {"00000409", "e0200404"});
  RegisterLayoutManually();
  EXPECT_EQ(SortedLayouts(), (std::vector<std::string>{"00000409", "E0200804"}));
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath("E0200804"), "layout text"), kGbkText);
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath("E0200804"), "IME file"), "TAVOHU4.IME");
  EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"),
            (std::vector<std::string>{"00000409", "e0200804"}));
}

TEST_F(LayoutRegistration, ValuesAreHandedOverWithoutTheirTerminatingZero) {
  // Windows and Wine both add a zero the caller left out when the next byte
  // in memory is zero, so the byte counts show only in what is handed over.
  ResetLayouts({});
  {
    WriteRecorder rec;
    RegisterLayoutManually();
    ASSERT_EQ(rec.writes().size(), 4u);
    EXPECT_EQ(rec.writes()[0].name, "IME file");
    EXPECT_EQ(rec.writes()[0].data, "TAVOHU4.IME");
    EXPECT_EQ(rec.writes()[1].name, "layout file");
    EXPECT_EQ(rec.writes()[1].data, "kbdus.dll");
    EXPECT_EQ(rec.writes()[2].name, "layout text");
    EXPECT_EQ(rec.writes()[2].data, OwnText());
    EXPECT_EQ(rec.writes()[2].data.size(), 21u);
    EXPECT_EQ(rec.writes()[3].name, "1");
    EXPECT_EQ(rec.writes()[3].data, "e0010" + Suffix());
    for (const RecordedWrite& w : rec.writes()) EXPECT_EQ(w.type, static_cast<DWORD>(REG_SZ));
  }
}

TEST_F(LayoutRegistration, Windows98GetsItsLayoutFileAndUpperCasePreloadSubKeys) {
  FamilyOverride win98(kVersion98);
  ResetLayouts({{"E0200804", "other"}});
  Set9xPreload({"00000804", "E0100804"});
  WriteRecorder rec;
  RegisterLayoutManually();
  const std::string created = "E0210" + Suffix();
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(created), "layout file"), "kbdus.kbd");
  EXPECT_EQ(Preload9x(), (std::vector<std::string>{"00000804", "E0100804", created}));
  ASSERT_TRUE(rec.Last(""));
  EXPECT_EQ(rec.Last("")->data, created);
}

TEST_F(LayoutRegistration, ManySubKeysAreAllScanned) {
  // More than the 250 names the table starts with; the IME's key sorts
  // first, so it is the last name the scan reaches.
  std::vector<LayoutKey> keys;
  for (int i = 0; i < 300; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "0001%04X", i);
    keys.push_back({name, "x"});
  }
  const std::string own = "0000" + std::string("0") + Suffix();
  keys.push_back({own, OwnText()});
  ResetLayouts(keys);
  RegisterLayoutManually();
  EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, kLayoutsPath).size(), 301u) << "no new key";
  EXPECT_EQ(ReadNarrowValue(HKEY_LOCAL_MACHINE, LayoutPath(own), "IME file"), "TAVOHU4.IME");
}

TEST_F(LayoutRegistration, NothingIsWrittenWithoutKeyboardLayouts) {
  DeleteTree(HKEY_LOCAL_MACHINE, kLayoutsPath);
  WriteRecorder rec;
  RegisterLayoutManually();  // shows its message and stops
  EXPECT_TRUE(SubKeys(HKEY_LOCAL_MACHINE, kLayoutsPath).empty());
  // (Wine puts its own layout into an empty preload list while the
  // message box is open, so the program's writes are what count.)
  EXPECT_TRUE(rec.writes().empty());
}

TEST_F(LayoutRegistration, SystemInstallerSuccessLeavesTheManualPathOut) {
  ResetLayouts({});
  g_ime.installedLayout = nullptr;
  WriteRecorder rec;
  RegisterImeLayout();
  EXPECT_NE(g_ime.installedLayout, nullptr);
  EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, kLayoutsPath).size(), 1u) << "the system's key only";
  EXPECT_TRUE(rec.writes().empty()) << "no layout values or preload entry of the manual path";
}

// The preload step alone, with the identifier E0200804.
class PreloadEntry : public ::testing::Test {};

TEST_F(PreloadEntry, NtListKeepsPresentEntriesAndRepairsOrAddsTheRest) {
  const std::vector<std::string> all49 = [] {
    std::vector<std::string> ids;
    for (int k = 1; k <= 49; ++k) ids.push_back("000004" + std::to_string(10 + k));
    return ids;
  }();
  std::vector<std::string> all49After = all49;
  all49After[48] = "e0200804";
  struct Case {
    const char* what;
    std::vector<std::string> before, after;
  } cases[] = {
      {"other letter case counts as present", {"00000804", "E0200804"}, {"00000804", "E0200804"}},
      {"a longer stored value counts as present", {"e0200804x"}, {"e0200804x"}},
      {"a suffix-only difference is overwritten",
       {"00000804", "e0200404", "e0300804"},
       {"00000804", "e0200804", "e0300804"}},
      {"the next free value", {"00000409", "00000804", "e0100804"},
       {"00000409", "00000804", "e0100804", "e0200804"}},
      {"an empty list", {}, {"e0200804"}},
      {"value 49 when all are taken", all49, all49After},
      {"a value too long to read is overwritten", {"00000804", std::string(250, 'e')},
       {"00000804", "e0200804"}},
  };
  for (const Case& c : cases) {
    SetNtPreload(HKEY_CURRENT_USER, "keyboard layout", c.before);
    AddPreloadEntry("E0200804");
    EXPECT_EQ(NtPreload(HKEY_CURRENT_USER, "keyboard layout"), c.after) << c.what;
  }
}

TEST_F(PreloadEntry, NtWritesNothingWithoutItsPreloadKey) {
  DeleteTree(HKEY_CURRENT_USER, "keyboard layout\\preload");
  CreateKey(HKEY_CURRENT_USER, "keyboard layout");
  WriteRecorder rec;
  AddPreloadEntry("E0200804");
  EXPECT_TRUE(rec.writes().empty());
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, "keyboard layout").empty());
}

TEST_F(PreloadEntry, Windows98ListUsesNumberedSubKeys) {
  FamilyOverride win98(kVersion98);
  struct Case {
    const char* what;
    std::vector<std::string> before, after;
  } cases[] = {
      {"other letter case counts as present", {"00000804", "e0200804"}, {"00000804", "e0200804"}},
      {"a suffix-only difference is overwritten", {"00000804", "E0200404"},
       {"00000804", "E0200804"}},
      {"a new sub key after the last", {"00000804"}, {"00000804", "E0200804"}},
  };
  for (const Case& c : cases) {
    Set9xPreload(c.before);
    AddPreloadEntry("e0200804");
    EXPECT_EQ(Preload9x(), c.after) << c.what;
  }
}
