// The member digest of a file on disk.
#pragma once

#include <cstdint>

#include "archive/archive_format.h"

// Reads the file whole and writes its digest text into out. Returns the
// number of bytes read; 0, with 34 zero bytes in out, when the file cannot
// be opened or read or its memory cannot be had. An empty file also
// returns 0, but with the digest of zero bytes.
std::uint32_t FileDigest(const char* path, char out[kDigestTextSize]);
