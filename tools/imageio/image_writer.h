// Writes BMP, TGA, icon and cursor files from RGBA pixels (4 bytes a pixel,
// red first, top row first), into memory or to disk. Each build function
// returns an empty buffer when its arguments make no valid file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

using Bytes = std::vector<uint8_t>;

// Little-endian fields, as every format here stores them.
void put16(Bytes& b, uint32_t v);
void put32(Bytes& b, uint32_t v);

// BMP with a 40-byte info header, BI_RGB. bits: 24 (B, G, R), 32 (B, G, R, A)
// or 8 (a palette of the image's distinct colours, at most 256; alpha is
// dropped). Rows are stored bottom-up unless top_down (negative height).
Bytes build_bmp(const uint8_t* rgba, int width, int height, int bits, bool top_down = false);

// True-colour TGA, 24 or 32 bits, plain (type 2) or run-length encoded
// (type 10, packets running across rows). Rows are stored top row first with
// the top-left origin bit set when top_down, else bottom row first with it
// clear, as most readers expect.
Bytes build_tga(const uint8_t* rgba, int width, int height, int bits, bool rle, bool top_down = false);

// An icon (cursor false) or cursor file of one 32-bit image with straight
// alpha and an AND mask set where alpha is 0. width and height 1..256.
Bytes build_icon(const uint8_t* rgba, int width, int height, bool cursor, int hot_x = 0, int hot_y = 0);

bool write_file(const std::string& path, const Bytes& bytes);
bool write_bmp(const std::string& path, const uint8_t* rgba, int width, int height, int bits, bool top_down = false);
bool write_tga(const std::string& path, const uint8_t* rgba, int width, int height, int bits, bool rle,
               bool top_down = false);

}  // namespace imageio
