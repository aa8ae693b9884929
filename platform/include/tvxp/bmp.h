// Windows BMP files decoded into a device-independent image in the file's own
// depth. Needs no display.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvxp {

// Largest image (in pixels) the readers accept; larger images are refused
// before anything is allocated for them.
inline constexpr uint64_t MAX_IMAGE_PIXELS = 16384ull * 16384ull;

struct DibImage {
  int32_t width;          // > 0
  int32_t height;         // > 0, whatever the file's row order
  bool top_down;          // the file stores its top row first
  uint16_t bits;          // bits per pixel as held in `pixels`: 1, 4, 8, 16, 24 or 32
  uint32_t stride;        // bytes per row, a multiple of 4
  uint8_t* pixels;        // stride * height bytes, rows in the file's order
  uint32_t colors[256];   // colour table, each 0x00RRGGBB
  uint32_t color_count;   // entries used in `colors` (0 for images above 8 bits)
  uint32_t masks[4];      // red, green, blue, alpha masks of 16- and 32-bit pixels
};

// Decodes a whole file held in memory. On failure returns false, leaves *out
// empty, and points *why (when given) at a short English reason.
bool decode_bmp(const uint8_t* data, size_t size, DibImage* out, const char** why);
// Reads and decodes a file.
bool read_bmp_file(const char* path, DibImage* out, const char** why);
void free_dib(DibImage* image);

}  // namespace tvxp
