// Small archives built in memory for the tests, from the same writer
// pieces the tool and the backup use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

struct SampleMember {
  std::string name;
  std::string data;
};

using Bytes = std::vector<unsigned char>;

// Hashed when variantByte is '0'; plain entries get `fill` behind the NUL.
Bytes BuildSampleArchive(const std::vector<SampleMember>& members,
                         unsigned char variantByte = kHashedVariantByte, unsigned char fill = 0);

// The digest text as a string (without its NULs).
std::string DigestOf(const std::string& data);

// Little-endian field access for mutating samples.
void PutLE32(Bytes& image, std::size_t offset, std::uint32_t value);
std::uint32_t GetLE32(const Bytes& image, std::size_t offset);
