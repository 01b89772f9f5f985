// The drawing operations the pages share: the background of coloured
// lines, texts with an embossed look, the drawn buttons and a picture taken
// from the payload archive.
#pragma once

#include <windows.h>

// Colours as the drawing calls take them (0x00BBGGRR).
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kCaptionColour = 0x8080FF;
constexpr COLORREF kPaleRed = 0xBBBBFF;
constexpr COLORREF kEditionColour = 0xADCD21;
constexpr COLORREF kPinyinShadowColour = 0x806060;
constexpr COLORREF kVersionColour = 0xC00000;

// The pages are 400 by 310 pixels.
constexpr int kPageWidth = 400;
constexpr int kPageHeight = 310;

enum class Gradient {
  Loading,  // the first page: blue fading down, green rising and wrapping
  Common,   // every other page: blue to yellowish green
};

// The colour of background row y (0 to 309).
COLORREF GradientColour(Gradient variant, int y);

// One line of width 1 per row, from x 0 to 399.
void DrawGradientBackground(HDC dc, Gradient variant);

// Text at (x, y) in the current font and text colour, UTF-16 or GBK bytes.
void DrawTextAt(HDC dc, int x, int y, const wchar_t* text);
void DrawTextAt(HDC dc, int x, int y, const char* text);

// Black at (x, y), grey at +8, +9 and +10, then `light` at +11.
void DrawEmbossedText(HDC dc, int x, int y, const wchar_t* text, COLORREF light = kWhite);
void DrawEmbossedText(HDC dc, int x, int y, const char* text, COLORREF light = kWhite);

// A sunken-looking frame: black along the bottom and the right edge, white
// along the top and the left one. The white pen stays selected.
void DrawButtonFrame(HDC dc, int left, int top, int right, int bottom);

// Expands the bitmap member `name` of the payload into the work buffer and
// stretch-copies its source rectangle onto the destination rectangle,
// after cutting the source at the picture's edges. Nothing is drawn when
// the destination origin lies at or past the clip edges, or when the
// member is missing or not a sound bitmap.
void DrawArchiveBitmap(int clipRight, int clipBottom, HDC dc, const char* name, int destX,
                       int destY, int destWidth, int destHeight, int srcX, int srcY, int srcWidth,
                       int srcHeight);
