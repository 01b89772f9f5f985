// Owners for the Windows handles the program opens, so every early return
// closes what was opened.
#pragma once

#include <windows.h>

// A file opened with _lopen or _lcreat.
class LFile {
 public:
  LFile() = default;
  explicit LFile(HFILE h) : h_(h) {}
  ~LFile() { Close(); }
  LFile(const LFile&) = delete;
  LFile& operator=(const LFile&) = delete;

  static LFile OpenRead(const char* path) { return LFile(_lopen(path, OF_READ)); }
  static LFile OpenReadWrite(const char* path) { return LFile(_lopen(path, OF_READWRITE)); }
  static LFile Create(const char* path) { return LFile(_lcreat(path, 0)); }

  LFile(LFile&& o) noexcept : h_(o.h_) { o.h_ = HFILE_ERROR; }
  LFile& operator=(LFile&& o) noexcept {
    if (this != &o) {
      Close();
      h_ = o.h_;
      o.h_ = HFILE_ERROR;
    }
    return *this;
  }
  bool ok() const { return h_ != HFILE_ERROR && h_ != 0; }
  HFILE get() const { return h_; }
  void Close() {
    if (ok()) _lclose(h_);
    h_ = HFILE_ERROR;
  }

 private:
  HFILE h_ = HFILE_ERROR;
};

// A registry key opened or created by the program.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  HKEY* out() {
    Close();
    return &h_;
  }
  HKEY get() const { return h_; }
  bool ok() const { return h_ != nullptr; }
  void Close() {
    if (h_) RegCloseKey(h_);
    h_ = nullptr;
  }

 private:
  HKEY h_ = nullptr;
};

// A handle from CreateFile and friends.
class WinHandle {
 public:
  explicit WinHandle(HANDLE h) : h_(h) {}
  ~WinHandle() {
    if (ok()) CloseHandle(h_);
  }
  WinHandle(const WinHandle&) = delete;
  WinHandle& operator=(const WinHandle&) = delete;
  bool ok() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// A block from GlobalAlloc, locked for as long as the holder lives.
class GlobalBlock {
 public:
  GlobalBlock(UINT flags, SIZE_T size) : mem_(GlobalAlloc(flags, size)) {
    if (mem_) {
      ptr_ = static_cast<unsigned char*>(GlobalLock(mem_));
      if (ptr_) size_ = size;
    }
  }
  ~GlobalBlock() { Free(); }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  bool ok() const { return ptr_ != nullptr; }
  unsigned char* data() const { return ptr_; }
  SIZE_T size() const { return size_; }
  void Free() {
    if (ptr_) GlobalUnlock(mem_);
    if (mem_) GlobalFree(mem_);
    mem_ = nullptr;
    ptr_ = nullptr;
    size_ = 0;
  }

 private:
  HGLOBAL mem_;
  unsigned char* ptr_ = nullptr;
  SIZE_T size_ = 0;
};
