// Bitmap records shared inside the layer (regions and blits read the decoded
// image, palette code its colour table). Free of X headers.
#pragma once

#include <cstddef>

#include <tvxp/bitmap.h>
#include <tvxp/bmp.h>

namespace tvxp::internal {

// The image behind a live bitmap handle (row order, colour table and masks
// included), or nullptr.
DibImage* bitmap_image(HBITMAP h);
// Gives the image a bitmap handle; the bitmap owns its pixels from then on.
HBITMAP add_bitmap(const DibImage& image);
// Bitmaps not yet released.
size_t live_bitmaps();

// When set, called just before a bitmap's pixels are released, while they can
// still be read.
using BitmapDeleteHook = void (*)(HBITMAP h, const DibImage& image);
extern BitmapDeleteHook bitmap_delete_hook;

}  // namespace tvxp::internal
