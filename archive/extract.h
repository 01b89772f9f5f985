// Writing an archive's members into the install directory and checking the
// files there against an archive.
#pragma once

#include <cstddef>
#include <cstdint>

// The names whose digest mismatch the payload check does not report: the
// deployment patches, renames or deletes these after extraction.
constexpr char kPayloadExclusions[] =
    "tavo320.ime tavo321.ime tavo640.ime tavo641.ime tvszsj43.tvh setupw64.exe tavovemo.exe "
    "tavovem6.exe ";

// Writes every member of the archive image under its own name into the
// install directory, expanding each in the scratch area (name at 0, bytes
// from 100, digest text behind them). A member that cannot be expanded,
// whose digest differs, or that cannot be written gets a message and is
// skipped. 1 when every member the header counts was written, else 0.
int ExtractArchive(const unsigned char* image, std::size_t imageSize, unsigned char* scratch,
                   std::size_t scratchSize);

// Compares the install directory's files with the archive's members and
// builds the report of failing ones in report (cap bytes). Hashed members
// pass on an equal digest or when listed in exclusions; plain members when
// the file is at least as long as the member's compressed data. Returns the
// number that passed.
std::uint32_t VerifyArchive(const unsigned char* image, std::size_t imageSize, char* report,
                            std::size_t reportCap, const char* exclusions);

// Extracts an archive file (its first 128 KiB) through the work buffer.
// Does nothing when the user keeps the earlier data.
void ExtractArchiveFile(const char* path);

// After the install: checks the extracted payload, asks for the status
// window mode and the skin, and unpacks and checks the chosen skin.
void VerifyPayloadAndInstallSkin();
