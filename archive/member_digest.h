// The member digest: MD5 of a member's expanded bytes as 32 upper-case hex
// digits followed by two NULs (34 bytes, the size of the digest field).
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/archive_format.h"

// Writes the 16 MD5 bytes as hex, high half first, then the two NULs.
void FormatDigestText(const unsigned char md5[16], char out[kDigestTextSize]);

// The digest of a block. The MD5 comes from the platform: advapi32 on
// Windows (when that cannot be loaded the first 32 bytes stay zero, an
// empty text that matches no stored digest), libmd on the host.
void MemberDigest(const void* data, std::uint32_t length, char out[kDigestTextSize]);

// Digest texts compare as strings; a stored field is not trusted to hold
// its NUL, so the comparison never looks past the 34 bytes.
bool DigestTextsEqual(const char* a, const char* b);
