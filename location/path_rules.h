// Text rules for paths and command-line tokens. Plain byte-string code with
// no Windows calls, so the host tests and the program share it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// 1 when token occurs in text. Only the text's 'A'-'Z' are folded to lower
// case; the token is compared as written, so tokens are kept in lower case.
int ContainsNoCase(const char* text, const char* token);

// 1 when the typed install directory must be rejected, 0 when accepted:
// "X:\name" or "X:\name\" with at least 5 characters and one level only.
int ValidateInstallDirectory(const char* text);

// Copies src and its terminating zero into dst of cap bytes. When it does
// not fit, dst becomes "" and the result is false.
bool CopyText(char* dst, std::size_t cap, std::string_view src);

// Appends src to the text in dst. When the result would not fit in cap bytes
// dst is left unchanged and the result is false.
bool AppendText(char* dst, std::size_t cap, std::string_view src);

// fmt with its first "%s" replaced by arg (fmt unchanged when it has none).
std::string FormatText(std::string_view fmt, std::string_view arg);

// True when dir, together with the closing backslash it may still need,
// fits in an install-directory buffer of cap bytes (its zero byte included).
bool FitsAsInstallDirectory(std::string_view dir, std::size_t cap);

// The near name a busy file is moved to: the fifth character from the end
// replaced by c ("tavohu4.ime" -> "tavohu2.ime"). False when the path has
// fewer than 5 characters or the result does not fit in cap bytes.
bool NearName(char* out, std::size_t cap, std::string_view path, char c);

// The drive the default-drive directory goes on: the first of g:, f:, e:,
// d:, c: for which isFixed(letter) holds, or '\0' when none does.
template <class IsFixed>
char PickDefaultDrive(IsFixed isFixed) {
  for (char letter : {'g', 'f', 'e', 'd', 'c'}) {
    if (isFixed(letter)) return letter;
  }
  return '\0';
}
