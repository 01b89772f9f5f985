#include "location/settings_rules.h"

#include <cstring>

namespace {

constexpr std::string_view kConstantLines[] = {
    "TVNETTIME=1", "TVBJTIME=7", "TVWYTIME=3", "TVSJOFF=0",
    "TVNETTIME0=0", "TVBJTIME0=0", "TVNEONE=1",
};

constexpr std::size_t kMaxKeyValue = 250;

// "智能岚溪输入平台" as UTF-16LE.
constexpr std::uint8_t kProductNameUtf16[16] = {
    0x7A, 0x66, 0xFD, 0x80, 0x9A, 0x5C, 0xAA, 0x6E,
    0x93, 0x8F, 0x65, 0x51, 0x73, 0x5E, 0xF0, 0x53,
};

struct StatusByte {
  std::size_t offset;
  std::uint8_t value;
};

constexpr StatusByte kDefaultStatusBytes[] = {
    {8, 54}, {9, 1}, {10, 1}, {12, 1}, {15, 1}, {19, 1},
    {22, 1}, {24, 1}, {36, 1}, {41, 1}, {54, 1}, {58, 1},
};

}  // namespace

std::string BuildSiteAddressText(std::string_view unitSite, std::string_view governmentSite) {
  std::string text;
  text.append("TVNETURL1=").append(unitSite).append("\r\n");
  text.append("TVNETURL2=").append(governmentSite).append("\r\n");
  for (std::string_view line : kConstantLines) text.append(line).append("\r\n");
  return text;
}

void FindKeyValue(const char* block, std::size_t n, std::string_view key, char* out,
                  std::size_t cap) {
  if (cap == 0) return;
  out[0] = '\0';
  if (n == 0 || key.empty() || key.size() > n) return;
  for (std::size_t i = 0; i + key.size() <= n; ++i) {
    if (block[i] != key[0] || std::memcmp(block + i, key.data(), key.size()) != 0) continue;
    std::size_t len = 0;
    for (std::size_t j = i + key.size(); j < n && len < kMaxKeyValue; ++j) {
      if (static_cast<unsigned char>(block[j]) <= 0x20) break;
      if (len + 1 < cap) out[len] = block[j];
      ++len;
    }
    out[len + 1 < cap ? len : cap - 1] = '\0';
    return;
  }
}

void DefaultStatusRecord(std::uint8_t record[kStatusRecordSize]) {
  std::memset(record, 0, kStatusRecordSize);
  for (const StatusByte& b : kDefaultStatusBytes) record[b.offset] = b.value;
}

void ApplyStatusWindowSettings(std::uint8_t record[kStatusRecordSize], int mode, bool codePage950,
                               int edition) {
  if (codePage950) record[15] = 1;
  record[62] = 0;
  record[63] = 0;
  record[1] = 1;
  if (edition == 1) {
    record[19] = record[25] = record[75] = 1;
    record[22] = 0;
    for (std::size_t i = 27; i <= 36; ++i) record[i] = 0;
    record[42] = 0;
    for (std::size_t i = 66; i <= 69; ++i) record[i] = 0;
    record[80] = 10;
  }
  switch (mode) {
    case 2: record[0] = 1; break;
    case 3: record[0] = 4; break;
    case 4: record[0] = 3; break;
    default: record[0] = 0; break;
  }
  record[21] = (mode == 3 || mode == 4) ? 1 : 0;
}

int PatchVersionBytes(std::uint8_t* data, std::size_t n) {
  constexpr std::size_t kName = sizeof kProductNameUtf16;
  int patched = 0;
  for (std::size_t i = 0; i + kName <= n;) {
    if (std::memcmp(data + i, kProductNameUtf16, kName) != 0) {
      ++i;
      continue;
    }
    std::size_t j = i + kName;
    // Only the low bytes of the UTF-16 units are looked at: " ?6.3" / " ?6.7".
    if (j + 8 < n && data[j] == 0x20 && data[j + 4] == '6' && data[j + 6] == '.' &&
        (data[j + 8] == '3' || data[j + 8] == '7')) {
      data[j + 4] = '7';
      data[j + 8] = '3';
      ++patched;
    }
    i = j;
  }
  return patched;
}
