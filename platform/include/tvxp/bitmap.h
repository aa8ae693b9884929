// Bitmaps loaded from BMP files, and the object calls that read and release
// them. Needs no display.
#pragma once

#include <cstdint>

#include <tvxp/types.h>

namespace tvxp {

// What get_object tells of a bitmap. bmBits is the first row in memory, which
// is the first row stored in the file (the bottom row of a bottom-up file).
struct BITMAP {
  int32_t bmType;
  int32_t bmWidth;
  int32_t bmHeight;      // always positive, whatever the row order
  int32_t bmWidthBytes;  // row stride, a multiple of 4
  uint16_t bmPlanes;
  uint16_t bmBitsPixel;
  void* bmBits;
};

inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT LR_LOADFROMFILE = 0x10;
inline constexpr UINT LR_LOADTRANSPARENT = 0x20;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;

// Loads the BMP file `name` (LR_LOADFROMFILE is required: there are no
// resources to load from) as a device-independent bitmap in the file's own
// depth and row order: 24-bit pixels as B, G, R bytes, 32-bit pixels as
// B, G, R, A bytes, rows padded to 4 bytes. Bitmaps always keep the file's
// depth, so LR_CREATEDIBSECTION changes nothing. cx and cy must be 0 or the
// image's own size (there is no resampling). With LR_LOADTRANSPARENT the
// colour-table entry of the first stored pixel of a palette image (8 bits or
// fewer) becomes the window colour, white; deeper images have no table and are
// left as they are. Returns 0 when the file cannot be read or decoded.
HBITMAP load_image(const char* name, UINT type, int cx, int cy, UINT flags);

// Fills a BITMAP for a bitmap handle; `size` must be at least sizeof(BITMAP).
// A palette gives its entry count as a 16-bit value instead. Returns the bytes
// written, 0 for anything else; with `out` null it returns the size it would
// write.
int get_object(HGDIOBJ obj, int size, void* out);

// Releases a bitmap and its pixels, a palette or a region (gdi.h). False for
// a handle that is not a live object of a kind this call knows, and for stock
// objects.
bool delete_object(HGDIOBJ obj);

}  // namespace tvxp
