// The decisions behind the keyboard-layout and preload entries that depend
// only on the Windows family and the code page. Plain byte-string code with
// no Windows calls, so the host tests can cover both families and both code
// pages.
#pragma once

#include <cstddef>
#include <cstdint>

enum class WinFamily { Win9x, Nt };

// GetVersion's top bit marks Windows 95/98/Me.
WinFamily FamilyOfVersion(std::uint32_t version);

// What tells the IME's layout key apart, and how new identifiers look, on a
// system of the given OEM code page (950: Big5 and "404"; else GBK, "804").
struct LayoutTexts {
  const char* description;  // only its first kDescriptionBytes count
  const char* layoutText;   // the "layout text" value, 21 bytes
  const char* suffix;       // language part of an identifier: "804"/"404"
  std::uint32_t floor;      // lowest identifier a new layout key grows from
};
constexpr std::size_t kDescriptionBytes = 16;
LayoutTexts LayoutTextsFor(unsigned codePage);

// A layout key's "layout text" names the IME: its first 16 bytes are those
// of the description (a shorter text fails at its zero byte).
bool IsImeLayoutText(const char* layoutText, const LayoutTexts& texts);

// The "layout file" value: "kbdus.kbd" on Windows 9x, "kbdus.dll" on NT.
const char* LayoutFileFor(WinFamily family);

enum class LayoutFailure { OpenLayouts, CreateLayoutKey, OpenPreloadParent };
struct NarrowMessage {
  const char* text;
  const char* caption;
};
NarrowMessage LayoutFailureMessage(LayoutFailure failure, WinFamily family);

// The number a layout key's name starts with, read as "%lx" reads it: its
// leading hexadecimal digits (modulo 2^32). False when it has none.
bool ReadLeadingHex(const char* name, std::uint32_t* value);

// True when name ends in the three characters of suffix.
bool EndsWithSuffix(const char* name, const char* suffix);

// Replaces the last three characters of name with suffix. A name shorter
// than three characters becomes the suffix; name must then have room for 4.
void ReplaceSuffix(char* name, std::size_t cap, const char* suffix);

// The name of a new layout key after the highest identifier found: at least
// the floor, plus 0x10000, upper-case hex, its last three characters the
// language suffix. out needs 9 bytes or more.
void NewLayoutIdentifier(std::uint32_t highest, const LayoutTexts& texts, char* out,
                         std::size_t cap);

// The layout key's name as the preload list holds it: lower-case letters on
// NT, upper-case on Windows 9x. Cut to fit cap.
void PreloadEntryFor(const char* layoutName, WinFamily family, char* out, std::size_t cap);

// How a stored preload value relates to the entry P (already in the
// family's letter case). The stored value's letters are folded to the same
// case; only the first strlen(P) characters are looked at.
enum class PreloadMatch {
  Same,        // all agree: P is in the list already
  SuffixOnly,  // they differ only in the last three characters
  Other,
};
PreloadMatch ComparePreloadEntry(const char* stored, const char* entry, WinFamily family);

// A preload identifier slot: up to 9 characters and a zero byte.
constexpr std::size_t kPreloadIdSize = 10;
constexpr int kPreloadSlots = 49;

// Moves the identifier at 1-based position p up to position 2; positions 2
// to p-1 move one place down. ids[0] is position 1. Needs 3 <= p <= count.
void MoveIdentifierToSecond(char (*ids)[kPreloadIdSize], int count, int p);

// An earlier version of the IME, of any version: its layout text starts
// with the 12 GBK bytes of "智能岚溪输入".
bool IsEarlierImeText(const char* layoutText);
// The IME as a loaded layout: its description starts with the 16 GBK bytes
// of "智能岚溪输入平台".
bool IsImeDescription(const char* description);

// "icacls.exe "<dir>" /SetIntegrityLevel Level: L" with the install
// directory's final backslash dropped. False (out "") when it does not fit
// or the directory holds a double quote.
bool IntegrityCommand(const char* installDir, char* out, std::size_t cap);
