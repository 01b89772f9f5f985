#include "imereg/layout_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The texts in the bytes Windows shows them in, written out here rather
// than taken from the program's own tables.
const std::string kDescGbk =  // 智能岚溪输入平台
    "\xD6\xC7\xC4\xDC\xE1\xB0\xCF\xAA\xCA\xE4\xC8\xEB\xC6\xBD\xCC\xA8";
const std::string kDescBig5 =  // 智能嵐溪輸入平台
    "\xB4\xBC\xAF\xE0\xB4\x50\xB7\xCB\xBF\xE9\xA4\x4A\xA5\xAD\xA5\x78";
const std::string kNeedAdminGbk =  // 在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！
    "\xD4\xDA" "WIN2000" "\xBA\xCD" "WIN NT"
    "\xCF\xB5\xCD\xB3\xD6\xD0\xB0\xB2\xD7\xB0\xB1\xBE\xC8\xED\xBC\xFE\xCA\xB1\xA3\xAC\xD0\xE8\xD2\xAA"
    "\xD2\xD4\xCF\xB5\xCD\xB3\xB9\xDC\xC0\xED\xD4\xB1\xC9\xED\xB7\xDD\xB2\xC5\xC4\xDC\xB0\xB2\xD7\xB0"
    "\xB3\xC9\xB9\xA6\xA3\xA1";
const std::string kCaptionGbk = "\xD6\xC7\xC4\xDC\xE1\xB0\xCF\xAA";  // 智能岚溪
const std::string kCaptionWubiGbk = kCaptionGbk + "(\xC7\xE0\xB7\xE3\xCE\xE5\xB1\xCA)";  // (青枫五笔)

}  // namespace

TEST(LayoutRules, FamilyComesFromTheTopBitOfTheVersion) {
  EXPECT_EQ(FamilyOfVersion(0xC0000A04u), WinFamily::Win9x);  // Windows 98
  EXPECT_EQ(FamilyOfVersion(0x80000000u), WinFamily::Win9x);
  EXPECT_EQ(FamilyOfVersion(0x0A280105u), WinFamily::Nt);     // Windows XP
  EXPECT_EQ(FamilyOfVersion(0x1DB10106u), WinFamily::Nt);     // Windows 7
  EXPECT_STREQ(LayoutFileFor(WinFamily::Win9x), "kbdus.kbd");
  EXPECT_STREQ(LayoutFileFor(WinFamily::Nt), "kbdus.dll");
}

TEST(LayoutRules, CodePage950ChoosesBig5AndItsSuffixEveryOtherGbk) {
  struct Case {
    unsigned codePage;
    const std::string& description;
    const char* suffix;
    std::uint32_t floor;
  } cases[] = {
      {936, kDescGbk, "804", 0xE0000804u},
      {437, kDescGbk, "804", 0xE0000804u},
      {0, kDescGbk, "804", 0xE0000804u},
      {950, kDescBig5, "404", 0xE0000404u},
  };
  for (const Case& c : cases) {
    LayoutTexts t = LayoutTextsFor(c.codePage);
    EXPECT_EQ(std::string(t.description, kDescriptionBytes), c.description) << c.codePage;
    EXPECT_EQ(std::string(t.layoutText), c.description + "  7.3") << c.codePage;
    EXPECT_EQ(std::strlen(t.layoutText), 21u);
    EXPECT_STREQ(t.suffix, c.suffix);
    EXPECT_EQ(t.floor, c.floor);
  }
}

TEST(LayoutRules, NewIdentifierFollowsTheHighestAboveTheFloorWithTheLanguageSuffix) {
  struct Case {
    std::uint32_t highest;
    unsigned codePage;
    const char* expected;
  } cases[] = {
      {0, 936, "E0010804"},           // no IME keys at all
      {0, 950, "E0010404"},
      {0x00000409u, 936, "E0010804"},  // ordinary layouts lie below the floor
      {0xE0000804u, 936, "E0010804"},  // the floor itself
      {0xE0200804u, 936, "E0210804"},
      {0xE0220409u, 936, "E0230804"},  // E0230409 gets this system's suffix
      {0xE0220409u, 950, "E0230404"},
      {0xE0200804u, 950, "E0210404"},
      {0xE0FF0804u, 936, "E1000804"},  // carries into the next digit
      {0xE00A0804u, 936, "E00B0804"},  // upper-case hex letters
  };
  for (const Case& c : cases) {
    char out[16];
    NewLayoutIdentifier(c.highest, LayoutTextsFor(c.codePage), out, sizeof out);
    EXPECT_STREQ(out, c.expected) << std::hex << c.highest << " cp " << std::dec << c.codePage;
  }
}

TEST(LayoutRules, KeyNamesAreReadByTheirLeadingHexDigits) {
  struct Case {
    const char* name;
    bool any;
    std::uint32_t value;
  } cases[] = {
      {"E0200804", true, 0xE0200804u},
      {"e0200804", true, 0xE0200804u},
      {"00000409", true, 0x409u},
      {"0804xyz", true, 0x804u},  // stops at the first non-digit
      {"xyz", false, 0},
      {"", false, 0},
      {"123456789", true, 0x23456789u},  // more than 8 digits: modulo 2^32
  };
  for (const Case& c : cases) {
    std::uint32_t v = 0;
    EXPECT_EQ(ReadLeadingHex(c.name, &v), c.any) << c.name;
    if (c.any) {
      EXPECT_EQ(v, c.value) << c.name;
    }
  }
}

TEST(LayoutRules, SuffixRepairKeepsTheNameInsideItsBuffer) {
  char name[16] = "E0200404";
  EXPECT_FALSE(EndsWithSuffix(name, "804"));
  ReplaceSuffix(name, sizeof name, "804");
  EXPECT_STREQ(name, "E0200804");
  EXPECT_TRUE(EndsWithSuffix(name, "804"));

  // Names too short for a language part never write before their start.
  char guarded[8] = {'#', '#', 'A', 'B', '\0', '#', '#', '#'};
  ReplaceSuffix(guarded + 2, 6, "404");
  EXPECT_EQ(std::string(guarded, 8), std::string("##404\0##", 8));
  EXPECT_FALSE(EndsWithSuffix("04", "404"));
}

TEST(LayoutRules, PreloadEntryTakesTheFamilysLetterCase) {
  char out[16];
  PreloadEntryFor("E0210804", WinFamily::Nt, out, sizeof out);
  EXPECT_STREQ(out, "e0210804");
  PreloadEntryFor("e0210804", WinFamily::Win9x, out, sizeof out);
  EXPECT_STREQ(out, "E0210804");
  char small[5];
  PreloadEntryFor("E0210804", WinFamily::Nt, small, sizeof small);
  EXPECT_STREQ(small, "e021");
}

TEST(LayoutRules, StoredPreloadValuesCompareWithoutLetterCase) {
  struct Case {
    const char* stored;
    const char* entry;
    WinFamily family;
    PreloadMatch expected;
  } cases[] = {
      {"E0210804", "e0210804", WinFamily::Nt, PreloadMatch::Same},
      {"e0210804", "e0210804", WinFamily::Nt, PreloadMatch::Same},
      {"e0210804junk", "e0210804", WinFamily::Nt, PreloadMatch::Same},  // longer counts as equal
      {"e0200404", "e0200804", WinFamily::Nt, PreloadMatch::SuffixOnly},
      {"E0200404", "e0200804", WinFamily::Nt, PreloadMatch::SuffixOnly},
      {"e0200", "e0200804", WinFamily::Nt, PreloadMatch::SuffixOnly},  // ends in the last three
      {"e020", "e0200804", WinFamily::Nt, PreloadMatch::Other},
      {"00000804", "e0200804", WinFamily::Nt, PreloadMatch::Other},
      {"e0210804", "e0200804", WinFamily::Nt, PreloadMatch::Other},  // differs before the suffix
      {"", "e0200804", WinFamily::Nt, PreloadMatch::Other},
      {"e0210804", "E0210804", WinFamily::Win9x, PreloadMatch::Same},
      {"E0200404", "E0200804", WinFamily::Win9x, PreloadMatch::SuffixOnly},
      {"00000409", "E0200804", WinFamily::Win9x, PreloadMatch::Other},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComparePreloadEntry(c.stored, c.entry, c.family), c.expected)
        << c.stored << " / " << c.entry;
}

TEST(LayoutRules, FailureMessagesByFamily) {
  struct Case {
    LayoutFailure failure;
    WinFamily family;
    std::string text;
    const std::string& caption;
  } cases[] = {
      {LayoutFailure::OpenLayouts, WinFamily::Nt, kNeedAdminGbk, kCaptionGbk},
      {LayoutFailure::OpenLayouts, WinFamily::Win9x, "Software open error1003", kCaptionGbk},
      {LayoutFailure::CreateLayoutKey, WinFamily::Nt, kNeedAdminGbk, kCaptionWubiGbk},
      {LayoutFailure::CreateLayoutKey, WinFamily::Win9x, "Software open error1004",
       kCaptionWubiGbk},
      {LayoutFailure::OpenPreloadParent, WinFamily::Nt, "Software open error2003",
       kCaptionWubiGbk},
      {LayoutFailure::OpenPreloadParent, WinFamily::Win9x, "Software open error2003",
       kCaptionWubiGbk},
  };
  for (const Case& c : cases) {
    NarrowMessage m = LayoutFailureMessage(c.failure, c.family);
    EXPECT_EQ(m.text, c.text) << static_cast<int>(c.failure);
    EXPECT_EQ(m.caption, c.caption) << static_cast<int>(c.failure);
  }
}

TEST(LayoutRules, EntryMovesUpToSecondPlace) {
  struct Case {
    int count;
    int position;
    const char* expected;
  } cases[] = {
      {5, 4, "L1 IME L2 L3 L5"},
      {3, 3, "L1 IME L2"},
      {5, 5, "L1 IME L2 L3 L4"},
      {5, 2, "L1 IME L3 L4 L5"},  // second already: nothing moves
      {2, 3, "L1 L2"},            // beyond the count: nothing moves
  };
  for (const Case& c : cases) {
    char ids[kPreloadSlots][kPreloadIdSize] = {};
    for (int k = 1; k <= c.count; ++k)
      std::strcpy(ids[k - 1], k == c.position ? "IME" : ("L" + std::to_string(k)).c_str());
    MoveIdentifierToSecond(ids, c.count, c.position);
    std::string got;
    for (int k = 1; k <= c.count; ++k) got += (k > 1 ? " " : "") + std::string(ids[k - 1]);
    EXPECT_EQ(got, c.expected) << c.count << "/" << c.position;
  }
}

TEST(LayoutRules, EarlierVersionsAndTheImeAreKnownByTheirGbkTexts) {
  const std::string older = kDescGbk.substr(0, 12) + "\xB7\xA8 6.0";  // 智能岚溪输入法 6.0
  EXPECT_TRUE(IsEarlierImeText(older.c_str()));
  EXPECT_TRUE(IsEarlierImeText((kDescGbk + "  7.3").c_str()));
  EXPECT_FALSE(IsEarlierImeText((kDescBig5 + "  7.3").c_str()));  // a Big5 system's text
  EXPECT_FALSE(IsEarlierImeText(kCaptionGbk.c_str()));            // only 8 of the 12 bytes
  EXPECT_FALSE(IsImeDescription(older.c_str()));
  EXPECT_TRUE(IsImeDescription(kDescGbk.c_str()));
  EXPECT_FALSE(IsImeDescription("00000804"));

  EXPECT_TRUE(IsImeLayoutText((kDescBig5 + "  7.3").c_str(), LayoutTextsFor(950)));
  EXPECT_FALSE(IsImeLayoutText((kDescGbk + "  7.3").c_str(), LayoutTextsFor(950)));
  EXPECT_FALSE(IsImeLayoutText(kDescGbk.substr(0, 15).c_str(), LayoutTextsFor(936)));
}

TEST(LayoutRules, IntegrityCommandQuotesTheDirectoryWithoutItsBackslash) {
  struct Case {
    const char* dir;
    const char* expected;
  } cases[] = {
      {"D:\\Program Files\\X\\",
       "icacls.exe \"D:\\Program Files\\X\" /SetIntegrityLevel Level: L"},
      {"D:\\", "icacls.exe \"D:\" /SetIntegrityLevel Level: L"},
      {"c:\\tavohu2", "icacls.exe \"c:\\tavohu2\" /SetIntegrityLevel Level: L"},
      {"c:\\a\\\\", "icacls.exe \"c:\\a\\\" /SetIntegrityLevel Level: L"},  // one backslash only
  };
  for (const Case& c : cases) {
    char out[260];
    EXPECT_TRUE(IntegrityCommand(c.dir, out, sizeof out));
    EXPECT_STREQ(out, c.expected);
  }
  char small[20];
  EXPECT_FALSE(IntegrityCommand("D:\\Program Files\\X\\", small, sizeof small));
  EXPECT_STREQ(small, "");
  // A quote would let the directory text add arguments of its own.
  char out[260];
  EXPECT_FALSE(IntegrityCommand("D:\\x\" /grant Everyone:F \"\\", out, sizeof out));
  EXPECT_STREQ(out, "");
}
