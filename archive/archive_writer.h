// The pieces every archive writer builds from: the archive header and the
// entry headers, and the compression of a member. The backup writer and
// the host tool both use them, so the format is written in one place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "archive/archive_format.h"

// A member name the readers can find again: 1 to 12 bytes, no NUL.
bool IsValidMemberName(std::string_view name);

// "C", the variant byte ('0' hashed, anything else plain), total length 10
// and member count 0.
void InitArchiveHeader(unsigned char header[kArchiveHeaderSize], unsigned char variantByte);

// Counts one more entry of entryHeaderSize + compressedLength bytes in the
// header. False, with the header unchanged, when the total length would
// pass the signed 32-bit range or the count its unsigned one.
bool AddEntryToArchiveHeader(unsigned char header[kArchiveHeaderSize], std::size_t entryHeaderSize,
                             std::uint32_t compressedLength);

// A 56-byte hashed entry header: "CF", the name zero-filled, the 34-byte
// digest text, the compressed length. False for a bad name or a negative
// length; out is then all zero apart from "CF".
bool BuildHashedEntryHeader(unsigned char out[56], std::string_view name,
                            const char digest[kDigestTextSize], std::int32_t compressedLength);

// A 20-byte plain entry header. The bytes after the name's NUL get `fill`
// (readers ignore them; the stored skin archives carry 0xCC there).
bool BuildPlainEntryHeader(unsigned char out[20], std::string_view name,
                           std::int32_t compressedLength, unsigned char fill = 0);

// zlib's compress at the default level into dest. False when the stream
// does not fit the capacity.
bool CompressMember(const unsigned char* src, std::size_t size, unsigned char* dest,
                    std::size_t capacity, std::size_t* compressedSize);

// The capacity that always suffices for `size` input bytes.
std::size_t CompressBound(std::size_t size);
