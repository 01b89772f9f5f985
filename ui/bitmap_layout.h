// Checking a bitmap file that came out of the payload before GDI is given
// its bytes. The payload is untrusted: a picture member whose headers,
// colour table or pixel bits do not lie within its own bytes is refused.
#pragma once

#include <windows.h>

#include <cstddef>

// What GDI needs of a checked bitmap file: a BITMAPINFO of its own (the
// file's header cut down to the 40-byte form, masks and colour table
// copied) and where the pixel bits start.
struct BitmapLayout {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  const unsigned char* bits = nullptr;
  int width = 0;   // pixels, 1 to 65535
  int height = 0;  // pixels, 1 to 65535, whichever way the rows run
};

// True when `file` (size bytes of a bitmap file) starts with "BM" and every
// part GDI will read lies within those bytes: the file header, an
// information header of at least 40 bytes, the bit masks, the colour table
// and the pixel bits at the stored offset. Only uncompressed bitmaps (and
// bit-field ones of 16 or 32 bits) of 1, 4, 8, 16, 24 or 32 bits a pixel
// pass.
bool ReadBitmapLayout(const unsigned char* file, std::size_t size, BitmapLayout* out);
