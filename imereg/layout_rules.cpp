#include "imereg/layout_rules.h"

#include <cstdio>
#include <cstring>

#include "resources/texts.h"

namespace {

constexpr char kSuffixGbk[] = "804";
constexpr char kSuffixBig5[] = "404";

char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The first n bytes of text equal those of prefix. Stops at text's zero
// byte, so a shorter text is never read past its end.
bool StartsWithBytes(const char* text, const char* prefix, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (text[i] != prefix[i]) return false;
    if (text[i] == '\0') return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

WinFamily FamilyOfVersion(std::uint32_t version) {
  return (version & 0x80000000u) ? WinFamily::Win9x : WinFamily::Nt;
}

LayoutTexts LayoutTextsFor(unsigned codePage) {
  if (codePage == 950)
    return {txt::kLayoutDescBig5, txt::kLayoutTextBig5, kSuffixBig5, 0xE0000404u};
  return {txt::kLayoutDescGbk, txt::kLayoutTextGbk, kSuffixGbk, 0xE0000804u};
}

bool IsImeLayoutText(const char* layoutText, const LayoutTexts& texts) {
  return StartsWithBytes(layoutText, texts.description, kDescriptionBytes);
}

const char* LayoutFileFor(WinFamily family) {
  return family == WinFamily::Win9x ? "kbdus.kbd" : "kbdus.dll";
}

NarrowMessage LayoutFailureMessage(LayoutFailure failure, WinFamily family) {
  bool nt = family == WinFamily::Nt;
  switch (failure) {
    case LayoutFailure::OpenLayouts:
      return {nt ? txt::kMsgLayoutNeedAdminGbk : "Software open error1003", txt::kCaptionTavoGbk};
    case LayoutFailure::CreateLayoutKey:
      return {nt ? txt::kMsgLayoutNeedAdminGbk : "Software open error1004",
              txt::kCaptionTavoWubiGbk};
    case LayoutFailure::OpenPreloadParent:
      break;
  }
  return {"Software open error2003", txt::kCaptionTavoWubiGbk};
}

bool ReadLeadingHex(const char* name, std::uint32_t* value) {
  std::uint32_t v = 0;
  int digits = 0;
  for (; HexDigit(name[digits]) >= 0; ++digits)
    v = v * 16u + static_cast<std::uint32_t>(HexDigit(name[digits]));
  if (digits == 0) return false;
  *value = v;
  return true;
}

bool EndsWithSuffix(const char* name, const char* suffix) {
  std::size_t n = std::strlen(name);
  return n >= 3 && std::memcmp(name + n - 3, suffix, 3) == 0;
}

void ReplaceSuffix(char* name, std::size_t cap, const char* suffix) {
  std::size_t n = std::strlen(name);
  if (n < 3) {
    // Too short to hold a language part: the whole name becomes one.
    if (cap < 4) return;
    std::memcpy(name, suffix, 4);
    return;
  }
  std::memcpy(name + n - 3, suffix, 3);
}

void NewLayoutIdentifier(std::uint32_t highest, const LayoutTexts& texts, char* out,
                         std::size_t cap) {
  if (cap == 0) return;
  out[0] = '\0';
  if (cap < 9) return;
  if (highest < texts.floor) highest = texts.floor;
  std::snprintf(out, cap, "%lX", static_cast<unsigned long>(highest + 0x10000u));
  if (!EndsWithSuffix(out, texts.suffix)) ReplaceSuffix(out, cap, texts.suffix);
}

void PreloadEntryFor(const char* layoutName, WinFamily family, char* out, std::size_t cap) {
  if (cap == 0) return;
  std::size_t i = 0;
  for (; layoutName[i] != '\0' && i + 1 < cap; ++i) {
    char c = FoldLower(layoutName[i]);
    out[i] = family == WinFamily::Win9x ? FoldUpper(c) : c;
  }
  out[i] = '\0';
}

PreloadMatch ComparePreloadEntry(const char* stored, const char* entry, WinFamily family) {
  long n = static_cast<long>(std::strlen(entry));
  for (long i = 0; i < n; ++i) {
    char c = family == WinFamily::Win9x ? FoldUpper(stored[i]) : FoldLower(stored[i]);
    if (c != entry[i]) return i >= n - 3 ? PreloadMatch::SuffixOnly : PreloadMatch::Other;
    // c == entry[i] and entry[i] is not the end, so stored goes on too.
  }
  return PreloadMatch::Same;
}

void MoveIdentifierToSecond(char (*ids)[kPreloadIdSize], int count, int p) {
  if (p < 3 || p > count) return;
  char kept[kPreloadIdSize];
  std::memcpy(kept, ids[p - 1], kPreloadIdSize);
  for (int k = p; k >= 3; --k) std::memcpy(ids[k - 1], ids[k - 2], kPreloadIdSize);
  std::memcpy(ids[1], kept, kPreloadIdSize);
}

bool IsEarlierImeText(const char* layoutText) {
  return StartsWithBytes(layoutText, txt::kImeNamePrefixGbk, std::strlen(txt::kImeNamePrefixGbk));
}

bool IsImeDescription(const char* description) {
  return StartsWithBytes(description, txt::kLayoutDescGbk, kDescriptionBytes);
}

bool IntegrityCommand(const char* installDir, char* out, std::size_t cap) {
  if (cap == 0) return false;
  std::size_t n = std::strlen(installDir);
  // No path holds a double quote; one here would end the quoted directory
  // and hand the rest to icacls as arguments of its own.
  if (std::memchr(installDir, '"', n)) {
    out[0] = '\0';
    return false;
  }
  if (n > 0 && installDir[n - 1] == '\\') --n;
  int len = std::snprintf(out, cap, "icacls.exe \"%.*s\" /SetIntegrityLevel Level: L",
                          static_cast<int>(n), installDir);
  if (len < 0 || static_cast<std::size_t>(len) >= cap) {
    out[0] = '\0';
    return false;
  }
  return true;
}
