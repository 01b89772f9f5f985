// The host's MD5: libmd, the BSD interface the Windows system functions
// also follow.
#include "archive/member_digest.h"

#include <md5.h>

void MemberDigest(const void* data, std::uint32_t length, char out[kDigestTextSize]) {
  MD5_CTX ctx;
  MD5Init(&ctx);
  MD5Update(&ctx, static_cast<const std::uint8_t*>(data), length);
  unsigned char md5[16];
  MD5Final(md5, &ctx);
  FormatDigestText(md5, out);
}
