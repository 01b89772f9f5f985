// The contents of the settings files the setup program leaves for the
// installed product, and the version patch of its modules: byte rules with
// no Windows calls, shared by the program and the host tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The site-address file: two address lines, then seven constant lines,
// each ending in CR LF.
std::string BuildSiteAddressText(std::string_view unitSite, std::string_view governmentSite);

// The value behind the first occurrence of key in block[0, n): the bytes
// after the key up to the first byte of 0x20 or below, at most 250 of them.
// Cut to fit out (cap bytes, zero byte included); out is "" when the key is
// absent.
void FindKeyValue(const char* block, std::size_t n, std::string_view key, char* out,
                  std::size_t cap);

// The status-window record: 200 bytes, one setting a byte.
constexpr std::size_t kStatusRecordSize = 200;

// The record the product starts from when no earlier one can be read.
void DefaultStatusRecord(std::uint8_t record[kStatusRecordSize]);

// Sets the bytes the setup program owns: the window style from the
// status-window mode (1 to 4), the traditional-Chinese flag on code page
// 950 and the Pinyin edition's settings.
void ApplyStatusWindowSettings(std::uint8_t record[kStatusRecordSize], int mode, bool codePage950,
                               int edition);

// Rewrites the version 6.3 or 6.7 that follows the UTF-16 product name in
// a module to 7.3. Returns how many places were patched.
int PatchVersionBytes(std::uint8_t* data, std::size_t n);
