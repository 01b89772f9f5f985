// The Windows MD5: the system's MD5Init/MD5Update/MD5Final of advapi32,
// looked up by name on every digest and released again.
#include <windows.h>

#include <cstring>

#include "archive/member_digest.h"

namespace {

// The record the system functions work on; MD5Final leaves the result in
// `digest`.
struct Md5Context {
  UINT32 bitCount[2];
  UINT32 state[4];
  unsigned char input[64];
  unsigned char digest[16];
};
static_assert(sizeof(Md5Context) == 104, "the system functions expect 104 bytes");

using Md5InitFn = void(WINAPI*)(Md5Context*);
using Md5UpdateFn = void(WINAPI*)(Md5Context*, const unsigned char*, unsigned int);
using Md5FinalFn = void(WINAPI*)(Md5Context*);

class Library {
 public:
  explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE get() const { return module_; }

  template <typename Fn>
  Fn Find(const char* name) const {
    // Through void* so the compiler accepts the change of function type.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace

void MemberDigest(const void* data, std::uint32_t length, char out[kDigestTextSize]) {
  std::memset(out, 0, kDigestHexSize);
  Library advapi("advapi32.dll");
  if (!advapi.get()) return;
  auto init = advapi.Find<Md5InitFn>("MD5Init");
  auto update = advapi.Find<Md5UpdateFn>("MD5Update");
  auto finish = advapi.Find<Md5FinalFn>("MD5Final");
  // A system without the functions gets the same empty digest as one
  // without the library, rather than a call through a null pointer.
  if (!init || !update || !finish) return;
  Md5Context ctx{};
  init(&ctx);
  update(&ctx, static_cast<const unsigned char*>(data), length);
  finish(&ctx);
  FormatDigestText(ctx.digest, out);
}
