#include "archive/file_digest.h"

#include <windows.h>

#include <cstring>

#include "archive/member_digest.h"
#include "location/holders.h"

namespace {

// The block holds the file and 500 spare bytes, and the read asks for 100
// more than the length so a file that grew meanwhile still ends in the
// block; both must stay within the 32-bit sizes the calls take.
constexpr LONG kSpareBytes = 500;
constexpr LONG kReadExtra = 100;
constexpr LONG kLargestFile = 0x7FFFFFFF - kSpareBytes;

}  // namespace

std::uint32_t FileDigest(const char* path, char out[kDigestTextSize]) {
  std::memset(out, 0, kDigestTextSize);
  LFile file = LFile::OpenRead(path);
  if (!file.ok()) return 0;
  const LONG length = _llseek(file.get(), 0, FILE_END);
  if (length < 0 || length > kLargestFile || _llseek(file.get(), 0, FILE_BEGIN) != 0) return 0;
  GlobalBlock block(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(length) + kSpareBytes);
  if (!block.ok()) return 0;
  const UINT read = _lread(file.get(), block.data(), static_cast<UINT>(length + kReadExtra));
  file.Close();
  if (read == static_cast<UINT>(HFILE_ERROR)) return 0;
  MemberDigest(block.data(), read, out);
  return read;
}
