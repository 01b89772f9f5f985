#include "location/path_rules.h"

#include <cstring>

int ContainsNoCase(const char* text, const char* token) {
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    std::size_t j = 0;
    for (; token[j] != '\0'; ++j) {
      unsigned char t = static_cast<unsigned char>(text[i + j]);
      unsigned char folded = (t >= 'A' && t <= 'Z') ? static_cast<unsigned char>(t + ('a' - 'A')) : t;
      unsigned char k = static_cast<unsigned char>(token[j]);
      // The text's zero byte never equals a token character, so the match
      // stops there and never reads past the text.
      if (folded != k && t != k) break;
    }
    if (token[j] == '\0') return 1;
  }
  return 0;
}

int ValidateInstallDirectory(const char* text) {
  std::size_t n = std::strlen(text);
  if (n < 3 || text[1] != ':' || text[2] != '\\') return 1;
  if (n < 5) return 1;
  int backslashes = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (text[i] == '\\') ++backslashes;
  }
  if (backslashes > 2) return 1;
  if (backslashes == 2 && text[n - 1] != '\\') return 1;
  return 0;
}

bool CopyText(char* dst, std::size_t cap, std::string_view src) {
  if (cap == 0) return false;
  if (src.size() >= cap) {
    dst[0] = '\0';
    return false;
  }
  std::memcpy(dst, src.data(), src.size());
  dst[src.size()] = '\0';
  return true;
}

bool AppendText(char* dst, std::size_t cap, std::string_view src) {
  std::size_t have = 0;
  while (have < cap && dst[have] != '\0') ++have;
  if (have >= cap || src.size() >= cap - have) return false;
  std::memcpy(dst + have, src.data(), src.size());
  dst[have + src.size()] = '\0';
  return true;
}

std::string FormatText(std::string_view fmt, std::string_view arg) {
  std::string out(fmt);
  std::size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

bool FitsAsInstallDirectory(std::string_view dir, std::size_t cap) {
  bool needsBackslash = dir.empty() || dir.back() != '\\';
  return dir.size() + (needsBackslash ? 1 : 0) < cap;
}

bool NearName(char* out, std::size_t cap, std::string_view path, char c) {
  if (path.size() < 5) return false;
  if (!CopyText(out, cap, path)) return false;
  out[path.size() - 5] = c;
  return true;
}
