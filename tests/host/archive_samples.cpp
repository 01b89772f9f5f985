#include "archive_samples.h"

#include "archive/archive_writer.h"
#include "archive/member_digest.h"

Bytes BuildSampleArchive(const std::vector<SampleMember>& members, unsigned char variantByte,
                         unsigned char fill) {
  const bool hashed = VariantOf(variantByte) == ArchiveVariant::Hashed;
  const EntryLayout& layout = LayoutOf(VariantOf(variantByte));
  Bytes image(kArchiveHeaderSize);
  InitArchiveHeader(image.data(), variantByte);
  for (const SampleMember& m : members) {
    const auto* src = reinterpret_cast<const unsigned char*>(m.data.data());
    Bytes packed(CompressBound(m.data.size()));
    std::size_t packedSize = 0;
    CompressMember(src, m.data.size(), packed.data(), packed.size(), &packedSize);
    unsigned char entry[56];
    if (hashed) {
      char digest[kDigestTextSize];
      MemberDigest(src, static_cast<std::uint32_t>(m.data.size()), digest);
      BuildHashedEntryHeader(entry, m.name, digest, static_cast<std::int32_t>(packedSize));
    } else {
      BuildPlainEntryHeader(entry, m.name, static_cast<std::int32_t>(packedSize), fill);
    }
    AddEntryToArchiveHeader(image.data(), layout.headerSize, static_cast<std::uint32_t>(packedSize));
    image.insert(image.end(), entry, entry + layout.headerSize);
    image.insert(image.end(), packed.begin(), packed.begin() + packedSize);
  }
  return image;
}

std::string DigestOf(const std::string& data) {
  char digest[kDigestTextSize];
  MemberDigest(data.data(), static_cast<std::uint32_t>(data.size()), digest);
  return std::string(digest);
}

void PutLE32(Bytes& image, std::size_t offset, std::uint32_t value) {
  WriteLE32(image.data() + offset, value);
}

std::uint32_t GetLE32(const Bytes& image, std::size_t offset) {
  return ReadLE32(image.data() + offset);
}
