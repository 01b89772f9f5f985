#include "ui/paint_tools.h"

#include <climits>
#include <cstddef>
#include <cwchar>
#include <cstring>

#include "archive/archive_format.h"
#include "archive/archive_walk.h"
#include "driver/run_state.h"
#include "ui/bitmap_layout.h"
#include "ui/gdi_holders.h"

COLORREF GradientColour(Gradient variant, int y) {
  if (variant == Gradient::Loading) {
    // (2y - 112) mod 256, kept non-negative: 144 at the top, wrapping to 0
    // at rows 56 and 184.
    int green = (2 * y + 144) % 256;
    return RGB(0, green, 250 - 140 * y / 310);
  }
  return RGB(150 * y / 310, 255 * y / 310, 250 - 150 * y / 310);
}

void DrawGradientBackground(HDC dc, Gradient variant) {
  for (int y = 0; y < kPageHeight; ++y) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, GradientColour(variant, y)));
    Selection selected(dc, pen.get());
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, kPageWidth, y);
  }
}

void DrawTextAt(HDC dc, int x, int y, const wchar_t* text) {
  TextOutW(dc, x, y, text, static_cast<int>(std::wcslen(text)));
}

void DrawTextAt(HDC dc, int x, int y, const char* text) {
  TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

namespace {

template <typename Char>
void Emboss(HDC dc, int x, int y, const Char* text, COLORREF light) {
  SetTextColor(dc, kBlack);
  DrawTextAt(dc, x, y, text);
  SetTextColor(dc, kGrey);
  for (int d = 8; d <= 10; ++d) DrawTextAt(dc, x + d, y + d, text);
  SetTextColor(dc, light);
  DrawTextAt(dc, x + 11, y + 11, text);
}

}  // namespace

void DrawEmbossedText(HDC dc, int x, int y, const wchar_t* text, COLORREF light) {
  Emboss(dc, x, y, text, light);
}

void DrawEmbossedText(HDC dc, int x, int y, const char* text, COLORREF light) {
  Emboss(dc, x, y, text, light);
}

void DrawButtonFrame(HDC dc, int left, int top, int right, int bottom) {
  SelectObject(dc, GetStockObject(BLACK_PEN));
  MoveToEx(dc, left, bottom, nullptr);
  LineTo(dc, right, bottom);
  LineTo(dc, right, top);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  LineTo(dc, left, top);
  LineTo(dc, left, bottom);
}

namespace {

long long Smaller(long long a, long long b) { return a < b ? a : b; }

bool FitsInt(long long v) { return v >= INT_MIN && v <= INT_MAX; }

// The member's bytes in the work buffer and how many there are; null when
// the member did not expand whole. Bytes past the member may be left over
// from an earlier one, so only these count.
const unsigned char* LoadBitmapMember(const char* name, std::size_t* size) {
  *size = 0;
  MemberStatus status =
      LoadMemberInto(g_run.payload, g_run.payloadSize, name, g_run.work, g_run.workSize, size);
  if (status != MemberStatus::Expanded) return nullptr;
  return g_run.work + kMemberDataOffset;
}

}  // namespace

void DrawArchiveBitmap(int clipRight, int clipBottom, HDC dc, const char* name, int destX,
                       int destY, int destWidth, int destHeight, int srcX, int srcY, int srcWidth,
                       int srcHeight) {
  std::size_t size = 0;
  const unsigned char* file = LoadBitmapMember(name, &size);
  BitmapLayout layout;
  if (!file || !ReadBitmapLayout(file, size, &layout)) return;
  const long long w = layout.width;
  const long long h = layout.height;

  // The source is cut at the picture's edges but the destination keeps its
  // size, so a cut source is stretched over it; the clip edges only decide
  // whether anything is drawn at all. Sums are taken in 64 bits so that no
  // argument can wrap a comparison.
  const long long right = Smaller(clipRight, destX + w);
  const long long bottom = Smaller(clipBottom, destY + h);
  const long long sx = Smaller(srcX, w);
  const long long sy = Smaller(srcY, h);
  const long long sw = sx + srcWidth > w ? w - sx : srcWidth;
  const long long sh = sy + srcHeight > h ? h - sy : srcHeight;
  const long long dx = Smaller(destX, right);
  const long long dy = Smaller(destY, bottom);
  const long long dw = dx < right ? destWidth : 0;
  const long long dh = dy < bottom ? destHeight : 0;
  if (dw == 0 || dh == 0) return;
  if (!FitsInt(sw) || !FitsInt(sh)) return;

  const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(&layout.info);
  GdiObject<HBITMAP> picture(
      CreateDIBitmap(dc, &layout.info.header, CBM_INIT, layout.bits, info, DIB_RGB_COLORS));
  MemoryDc memory(dc);
  if (!picture.ok() || !memory.ok()) return;
  Selection selected(memory.get(), picture.get());
  StretchBlt(dc, static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(dw),
             static_cast<int>(dh), memory.get(), static_cast<int>(sx), static_cast<int>(sy),
             static_cast<int>(sw), static_cast<int>(sh), SRCCOPY);
}
