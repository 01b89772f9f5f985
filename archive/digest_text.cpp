#include "archive/member_digest.h"

#include <cstring>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

void FormatDigestText(const unsigned char md5[16], char out[kDigestTextSize]) {
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = kHexDigits[md5[i] >> 4];
    out[2 * i + 1] = kHexDigits[md5[i] & 0x0F];
  }
  out[kDigestHexSize] = '\0';
  out[kDigestHexSize + 1] = '\0';
}

bool DigestTextsEqual(const char* a, const char* b) {
  return std::strncmp(a, b, kDigestTextSize) == 0;
}
