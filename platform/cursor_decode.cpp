// Cursor and icon files: a directory of images, each a device-independent
// bitmap holding a colour image and a 1-bit mask. Every entry is checked
// against the file before any is used, so one bad entry refuses the file.
#include "cursor_decode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tvxp {
namespace {

constexpr uint16_t TYPE_ICON = 1;
constexpr uint16_t TYPE_CURSOR = 2;
constexpr size_t DIR_SIZE = 6;
constexpr size_t ENTRY_SIZE = 16;
constexpr int MAX_SIDE = 256;
constexpr int PREFERRED_SIDE = 32;
constexpr uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool refuse(CursorImage* out, const char** why, const char* reason) {
  if (out) *out = CursorImage{};
  if (why) *why = reason;
  return false;
}

// A masked channel scaled to 0..255. Masks need not be contiguous: the value
// is taken relative to the mask's largest value after the shift.
uint32_t channel(uint32_t pixel, uint32_t mask) {
  if (!mask) return 0;
  const int shift = __builtin_ctz(mask);
  const uint64_t top = mask >> shift;
  const uint64_t value = (pixel & mask) >> shift;
  return static_cast<uint32_t>((value * 255 + top / 2) / top);
}

struct Entry {
  DibImage dib{};
  const uint8_t* mask = nullptr;  // bottom-up rows of the 1-bit mask
  int hot_x = 0, hot_y = 0;
};

// Whether `a` is a better pick than `b`.
bool better(const DibImage& a, const DibImage& b) {
  const int da = std::abs(a.width - PREFERRED_SIDE) + std::abs(a.height - PREFERRED_SIDE);
  const int db = std::abs(b.width - PREFERRED_SIDE) + std::abs(b.height - PREFERRED_SIDE);
  if (da != db) return da < db;
  if (a.width * a.height != b.width * b.height) return a.width * a.height > b.width * b.height;
  return a.bits > b.bits;
}

// The colour of pixel x of a stored row, 0x00RRGGBB, and its own alpha
// (only 16- and 32-bit pixels can have one; -1 when none).
uint32_t stored_pixel(const DibImage& d, const uint8_t* row, int x, int* alpha) {
  *alpha = -1;
  switch (d.bits) {
    case 1:
      return d.colors[(row[x / 8] >> (7 - x % 8)) & 1];
    case 4:
      return d.colors[(row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F];
    case 8:
      return d.colors[row[x]];
    case 24: {
      const uint8_t* p = row + 3 * x;
      return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    default: {
      const uint32_t v = d.bits == 16 ? u16(row + 2 * x) : u32(row + 4 * x);
      if (d.masks[3]) {
        *alpha = static_cast<int>(channel(v, d.masks[3]));
      } else if (d.bits == 32 && ((d.masks[0] | d.masks[1] | d.masks[2]) & 0xFF000000u) == 0) {
        *alpha = static_cast<int>(v >> 24);
      }
      return channel(v, d.masks[0]) << 16 | channel(v, d.masks[1]) << 8 | channel(v, d.masks[2]);
    }
  }
}

// Images that carry alpha use it, unless every alpha is 0: such files (old
// writers) mean the mask to apply. Elsewhere the mask decides: clear bits
// are opaque, set bits over black are transparent, and set bits over a colour
// (an inverted screen, which an ARGB image cannot show) become opaque black
// so that the shape stays visible.
void to_argb(const Entry& e, CursorImage* out) {
  const DibImage& d = e.dib;
  const size_t mask_stride = (static_cast<size_t>(d.width) + 31) / 32 * 4;
  out->width = d.width;
  out->height = d.height;
  out->argb.assign(static_cast<size_t>(d.width) * d.height, 0);
  bool use_alpha = false;
  for (int y = 0; y < d.height && !use_alpha; ++y) {
    const uint8_t* row = d.pixels + static_cast<size_t>(y) * d.stride;
    for (int x = 0; x < d.width; ++x) {
      int alpha;
      stored_pixel(d, row, x, &alpha);
      if (alpha > 0) {
        use_alpha = true;
        break;
      }
    }
  }
  for (int y = 0; y < d.height; ++y) {
    const int stored = d.top_down ? y : d.height - 1 - y;
    const uint8_t* row = d.pixels + static_cast<size_t>(stored) * d.stride;
    const uint8_t* mask_row = e.mask + static_cast<size_t>(d.height - 1 - y) * mask_stride;
    for (int x = 0; x < d.width; ++x) {
      int alpha;
      const uint32_t rgb = stored_pixel(d, row, x, &alpha);
      uint32_t argb;
      if (use_alpha) {
        argb = static_cast<uint32_t>(alpha) << 24 | rgb;
      } else if (((mask_row[x / 8] >> (7 - x % 8)) & 1) == 0) {
        argb = 0xFF000000u | rgb;
      } else {
        argb = rgb ? 0xFF000000u : 0;
      }
      out->argb[static_cast<size_t>(y) * d.width + x] = argb;
    }
  }
}

}  // namespace

bool decode_cursor_file(const uint8_t* data, size_t size, CursorImage* out, const char** why) {
  if (!data || size < DIR_SIZE) return refuse(out, why, "directory cut short");
  const uint16_t type = u16(data + 2);
  if (u16(data) != 0 || (type != TYPE_ICON && type != TYPE_CURSOR))
    return refuse(out, why, "not a cursor or icon file");
  const size_t count = u16(data + 4);
  if (count == 0) return refuse(out, why, "no images");
  const size_t directory_end = DIR_SIZE + ENTRY_SIZE * count;
  if (directory_end > size) return refuse(out, why, "directory cut short");

  Entry best;
  bool have_best = false;
  bool saw_png = false;
  const char* reason = nullptr;
  for (size_t i = 0; i < count && !reason; ++i) {
    const uint8_t* entry = data + DIR_SIZE + ENTRY_SIZE * i;
    const uint64_t bytes = u32(entry + 8), offset = u32(entry + 12);
    if (bytes == 0) {
      reason = "empty image entry";
    } else if (offset < directory_end) {
      reason = "image entry inside the directory";
    } else if (offset > size || bytes > size - offset) {
      reason = "image entry outside the file";
    } else if (bytes >= sizeof PNG_SIGNATURE && std::memcmp(data + offset, PNG_SIGNATURE, 8) == 0) {
      saw_png = true;
      continue;
    }
    if (reason) break;
    Entry e;
    size_t mask_offset = 0;
    if (!decode_icon_dib(data + offset, static_cast<size_t>(bytes), &e.dib, &mask_offset, &reason)) break;
    const size_t mask_bytes = (static_cast<size_t>(e.dib.width) + 31) / 32 * 4 * static_cast<size_t>(e.dib.height);
    if (e.dib.width > MAX_SIDE || e.dib.height > MAX_SIDE) {
      reason = "image larger than 256 pixels";
    } else if (bytes - mask_offset < mask_bytes) {
      reason = "mask cut short";
    }
    if (reason) {
      free_dib(&e.dib);
      break;
    }
    e.mask = data + offset + mask_offset;
    if (type == TYPE_CURSOR) {
      e.hot_x = std::min<int>(u16(entry + 4), e.dib.width - 1);
      e.hot_y = std::min<int>(u16(entry + 6), e.dib.height - 1);
    } else {
      e.hot_x = e.dib.width / 2;
      e.hot_y = e.dib.height / 2;
    }
    if (!have_best || better(e.dib, best.dib)) {
      if (have_best) free_dib(&best.dib);
      best = e;
      have_best = true;
    } else {
      free_dib(&e.dib);
    }
  }
  if (!reason && !have_best) reason = saw_png ? "PNG images are not supported" : "no images";
  if (reason) {
    if (have_best) free_dib(&best.dib);
    return refuse(out, why, reason);
  }
  CursorImage image;
  image.hot_x = best.hot_x;
  image.hot_y = best.hot_y;
  to_argb(best, &image);
  free_dib(&best.dib);
  *out = std::move(image);
  if (why) *why = nullptr;
  return true;
}

bool read_cursor_file(const char* path, CursorImage* out, const char** why) {
  std::vector<uint8_t> bytes;
  if (!read_file_bytes(path, &bytes, why)) return refuse(out, nullptr, nullptr);
  return decode_cursor_file(bytes.data(), bytes.size(), out, why);
}

}  // namespace tvxp
