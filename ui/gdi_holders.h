// Owners for the GDI objects the painters make or borrow, so every early
// return puts a device context back the way it was and deletes what was
// made.
#pragma once

#include <windows.h>

// A pen, brush, font or bitmap the program created; deleted with the holder.
template <typename Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle h) : h_(h) {}
  ~GdiObject() {
    if (h_) DeleteObject(h_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  bool ok() const { return h_ != nullptr; }
  Handle get() const { return h_; }

 private:
  Handle h_;
};

// An object selected into a device context for the holder's lifetime; the
// object it replaced goes back in first, so the object can be deleted
// afterwards. Declare it after the holder of the object it selects.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool ok() const { return previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory device context made compatible with another one.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  bool ok() const { return dc_ != nullptr; }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The device context of a window's client area, released with the holder.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  bool ok() const { return dc_ != nullptr; }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};
