// BMP files as images with a palette, and the region of an image's pixels
// that are not of a transparent colour, as a window shape wants it.
#pragma once

#include <cstdint>

#include <tvxp/gdi.h>
#include <tvxp/types.h>

namespace Tarvex {

using tvxp::HBITMAP;
using tvxp::HPALETTE;
using tvxp::HRGN;

// Loads a BMP file at its own size and depth, with a palette for it: the
// halftone palette for images above 8 bits per pixel, else 256 entries from
// the image's colour table (black beyond its end). 0 when the file cannot be
// loaded, PAL then untouched; otherwise the caller owns image and palette.
HBITMAP LOADBMPFROMFILE(const char* FILENAME, HPALETTE& PAL);

// The region of every pixel of the image file whose colour lies outside the
// transparent window: per channel from TRANSCOLOR's component (red in bits
// 0..7, green 8..15, blue 16..23) up to TOLERANCE above it. Origin at the
// image's top-left, y downwards. 0 when the image cannot be loaded; an empty
// region when every pixel is transparent. The caller owns the region.
HRGN BITMAPTOREGION(const char* BMPNAME, uint32_t TRANSCOLOR, uint8_t TOLERANCE);

// Releases an image surface (a memory surface holding an image loaded by
// LOADBMPFROMFILE and its palette) together with that image and palette.
void RELEASEIMAGESURFACE(tvxp::HDC SURFACE);

}  // namespace Tarvex
