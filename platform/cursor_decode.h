// Windows cursor (.cur) and icon (.ico) files decoded into one ARGB image.
// Needs no display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <tvxp/bmp.h>

namespace tvxp {

struct CursorImage {
  int width = 0, height = 0;  // 1..256 each
  int hot_x = 0, hot_y = 0;   // inside the image
  // width * height pixels, top row first, each 0xAARRGGBB with straight
  // (not premultiplied) alpha: _NET_WM_ICON takes it as it is, an X cursor
  // image needs it premultiplied.
  std::vector<uint32_t> argb;
};

// Decodes a whole cursor or icon file held in memory. Of several images the
// one closest in size to 32 x 32 is taken (the larger of two equally close),
// then the deepest, then the first. A cursor's hot spot comes from its
// directory entry (clamped into the image); an icon's is its centre. PNG
// images inside the file are passed over; a file with no other image, or with
// any malformed entry, is refused. On failure *out is left empty and *why
// (when given) points at a short English reason.
bool decode_cursor_file(const uint8_t* data, size_t size, CursorImage* out, const char** why);
// Reads and decodes a file.
bool read_cursor_file(const char* path, CursorImage* out, const char** why);

// The image of one directory entry: an info header whose height counts the
// colour image and the 1-bit mask stored above it, the colour table, the
// colour pixels (bottom-up), then the mask. On success *out holds the colour
// image at half the stored height and *mask_offset the offset of the mask
// from `data`. Part of the BMP reader.
bool decode_icon_dib(const uint8_t* data, size_t size, DibImage* out, size_t* mask_offset, const char** why);
// Reads a whole file (at most 2 GiB). Part of the BMP reader.
bool read_file_bytes(const char* path, std::vector<uint8_t>* bytes, const char** why);

}  // namespace tvxp
