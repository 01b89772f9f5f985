#include "tools/tvz/names.h"

#include <iconv.h>

#include <cstdio>

namespace {

bool Convert(const char* to, const char* from, std::string_view in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = result.data();
  size_t dstLeft = result.size();
  size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
  result.resize(result.size() - dstLeft);
  *out = std::move(result);
  return true;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string Utf8NameToGbk(std::string_view name) {
  std::string gbk;
  if (IsAscii(name) || !Convert("GBK", "UTF-8", name, &gbk)) return std::string(name);
  return gbk;
}

bool GbkNameToUtf8(std::string_view name, std::string* out) {
  if (IsAscii(name)) {
    *out = std::string(name);
    return true;
  }
  return Convert("UTF-8", "GBK", name, out);
}

std::string ShowName(std::string_view name, bool gbk) {
  std::string text;
  if (!gbk || !GbkNameToUtf8(name, &text)) text = std::string(name);
  std::string shown;
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F || c == '\\') {
      char esc[5];
      std::snprintf(esc, sizeof esc, "\\x%02X", c);
      shown += esc;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}
