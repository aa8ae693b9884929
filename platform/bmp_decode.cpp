// Windows BMP decoding. Every size is worked out in 64 bits and compared with
// what the data holds before anything is allocated, so a lying header can
// neither wrap the arithmetic nor make an uncompressed image bigger than the
// file could fill. Size fields that merely repeat what the other fields imply
// (the file size, the image size) are ignored: they are often wrong.
#include <tvxp/bmp.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cursor_decode.h"

namespace tvxp {
namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

constexpr size_t FILE_HEADER_SIZE = 14;
// Files above this cannot be a valid image within the pixel limit; reading
// them whole would only waste memory.
constexpr long MAX_FILE_SIZE = 0x7FFFFFFFL;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
int32_t i32(const uint8_t* p) { return static_cast<int32_t>(u32(p)); }

bool refuse(DibImage* out, const char** why, const char* reason) {
  if (out) *out = DibImage{};
  if (why) *why = reason;
  return false;
}

bool masks_valid(const uint32_t masks[4], uint16_t bits) {
  for (int i = 0; i < 3; ++i)
    if (masks[i] == 0) return false;
  uint32_t seen = 0;
  for (int i = 0; i < 4; ++i) {
    if (masks[i] & seen) return false;
    seen |= masks[i];
  }
  return bits == 32 || seen <= 0xFFFFu;
}

// Run-length data into a zero-filled image of 8 or 4 bits per pixel, rows
// bottom-up as the format requires. Pixels skipped by a delta or by an early
// end of line or of the image stay 0. With no `dst` the data is only checked,
// so that a bad stream is refused before its image is allocated (a few bytes
// of run-length data can describe a very large image).
bool decode_rle(const uint8_t* src, size_t n, uint16_t bits, uint32_t w, uint32_t h, uint32_t stride,
                uint8_t* dst, const char** reason) {
  size_t i = 0;
  uint32_t x = 0, y = 0;
  auto put = [&](uint8_t v) {
    if (!dst) {
      ++x;
      return;
    }
    if (bits == 8) {
      dst[uint64_t{y} * stride + x] = v;
    } else {
      uint8_t& b = dst[uint64_t{y} * stride + x / 2];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (v & 0x0F)) : static_cast<uint8_t>((b & 0x0F) | v << 4);
    }
    ++x;
  };
  for (;;) {
    if (n - i < 2) {
      // A missing end-of-image code is tolerated once every row has ended.
      if (y >= h) return true;
      *reason = "run-length data ends early";
      return false;
    }
    const uint8_t count = src[i], code = src[i + 1];
    i += 2;
    if (count > 0) {
      if (y >= h) {
        *reason = "run-length data runs past the image";
        return false;
      }
      if (count > w - x) {
        *reason = "run-length run crosses the end of a row";
        return false;
      }
      for (unsigned k = 0; k < count; ++k)
        put(bits == 8 ? code : static_cast<uint8_t>((k & 1) ? code & 0x0F : code >> 4));
    } else if (code == 0) {  // end of line
      x = 0;
      if (++y > h) {
        *reason = "run-length data runs past the image";
        return false;
      }
    } else if (code == 1) {  // end of image
      return true;
    } else if (code == 2) {  // delta
      if (n - i < 2) {
        *reason = "run-length data ends early";
        return false;
      }
      const uint32_t dx = src[i], dy = src[i + 1];
      i += 2;
      if (dx > w - x || y >= h || dy >= h - y) {
        *reason = "run-length delta moves past the image";
        return false;
      }
      x += dx;
      y += dy;
    } else {  // absolute run of `code` pixels, padded to a 16-bit boundary
      if (y >= h) {
        *reason = "run-length data runs past the image";
        return false;
      }
      if (code > w - x) {
        *reason = "run-length run crosses the end of a row";
        return false;
      }
      const size_t bytes = bits == 8 ? code : (code + 1u) / 2u;
      const size_t padded = (bytes + 1) & ~size_t{1};
      if (n - i < padded) {
        *reason = "run-length data ends early";
        return false;
      }
      for (unsigned k = 0; k < code; ++k) {
        const uint8_t b = src[i + (bits == 8 ? k : k / 2)];
        put(bits == 8 ? b : static_cast<uint8_t>((k & 1) ? b & 0x0F : b >> 4));
      }
      i += padded;
    }
  }
}

// Decodes from the info header on. `size` counts the bytes from the info
// header to the end of the data. For a BMP file `pixel_offset` says where the
// pixels start (relative to the info header); an icon entry has them straight
// after the colour table, its stored height covers the colour image and the
// 1-bit mask above it, and *pixel_end receives the offset just past the colour
// image.
bool decode_dib(const uint8_t* dib, size_t size, bool icon, uint64_t pixel_offset, DibImage* out,
                size_t* pixel_end, const char** why) {
  if (size < 4) return refuse(out, why, "info header cut short");
  const uint32_t header_size = u32(dib);
  if (header_size != 12 && header_size != 40 && header_size != 108 && header_size != 124)
    return refuse(out, why, "unsupported info header size");
  if (size < header_size) return refuse(out, why, "info header cut short");
  const bool core = header_size == 12;

  int64_t width, height;
  uint16_t planes, bits;
  uint32_t compression = BI_RGB, colors_used = 0;
  if (core) {
    width = u16(dib + 4);
    height = u16(dib + 6);
    planes = u16(dib + 8);
    bits = u16(dib + 10);
  } else {
    width = i32(dib + 4);
    height = i32(dib + 8);
    planes = u16(dib + 12);
    bits = u16(dib + 14);
    compression = u32(dib + 16);
    colors_used = u32(dib + 32);
  }
  if (width <= 0) return refuse(out, why, "width not positive");
  if (height == 0) return refuse(out, why, "height zero");
  if (height == INT32_MIN) return refuse(out, why, "height out of range");
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (icon) {
    if (top_down) return refuse(out, why, "icon image stored top-down");
    height /= 2;
    if (height == 0) return refuse(out, why, "icon image has no rows");
  }
  if (planes != 1) return refuse(out, why, "plane count not 1");
  const bool depth_known = core ? (bits == 1 || bits == 4 || bits == 8 || bits == 24)
                                : (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
  if (!depth_known) return refuse(out, why, "unsupported bits per pixel");
  switch (compression) {
    case BI_RGB:
      break;
    case BI_RLE8:
      if (bits != 8) return refuse(out, why, "compression does not match the depth");
      break;
    case BI_RLE4:
      if (bits != 4) return refuse(out, why, "compression does not match the depth");
      break;
    case BI_BITFIELDS:
      if (bits != 16 && bits != 32) return refuse(out, why, "compression does not match the depth");
      break;
    default:
      return refuse(out, why, "unsupported compression");
  }
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (rle && top_down) return refuse(out, why, "run-length image stored top-down");
  if (rle && icon) return refuse(out, why, "run-length icon image");
  if (uint64_t(width) * uint64_t(height) > MAX_IMAGE_PIXELS) return refuse(out, why, "image too large");

  uint32_t masks[4] = {0, 0, 0, 0};
  uint64_t pos = header_size;
  if (compression == BI_BITFIELDS) {
    if (header_size == 40) {
      if (size - pos < 12) return refuse(out, why, "bit masks cut short");
      for (int i = 0; i < 3; ++i) masks[i] = u32(dib + pos + 4 * i);
      pos += 12;
    } else {
      for (int i = 0; i < 4; ++i) masks[i] = u32(dib + 40 + 4 * i);
    }
    if (!masks_valid(masks, bits)) return refuse(out, why, "bit masks zero or overlapping");
  } else if (bits == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (bits == 32) {
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
  }

  const unsigned entry_size = core ? 3 : 4;
  uint64_t table_count = 0;
  if (bits <= 8) {
    const uint64_t most = 1u << bits;
    table_count = colors_used ? colors_used : most;
    if (table_count > most) return refuse(out, why, "colour table longer than the depth allows");
  }
  // Deeper images may carry an optional table; a file skips it through its
  // pixel offset, an icon entry has to step over it.
  const uint64_t table_bytes = (bits <= 8 ? table_count : (icon ? colors_used : 0)) * uint64_t{entry_size};
  uint64_t pixel_start;
  if (icon) {
    pixel_start = pos + table_bytes;
    if (pixel_start > size) return refuse(out, why, "colour table cut short");
  } else {
    if (pixel_offset > size) return refuse(out, why, "pixel offset outside the file");
    if (pixel_offset < pos) return refuse(out, why, "pixel offset inside the headers");
    if (pos + table_bytes > pixel_offset) return refuse(out, why, "colour table runs into the pixels");
    pixel_start = pixel_offset;
  }

  const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
  const uint64_t stride = (uint64_t{w} * bits + 31) / 32 * 4;
  const uint64_t image_bytes = stride * h;
  const uint64_t available = size - pixel_start;
  uint8_t* pixels = nullptr;
  if (!rle) {
    if (available < image_bytes) return refuse(out, why, "pixel data cut short");
    pixels = static_cast<uint8_t*>(std::malloc(image_bytes));
    if (!pixels) return refuse(out, why, "out of memory");
    std::memcpy(pixels, dib + pixel_start, image_bytes);
    if (pixel_end) *pixel_end = static_cast<size_t>(pixel_start + image_bytes);
  } else {
    const char* reason = nullptr;
    if (!decode_rle(dib + pixel_start, available, bits, w, h, static_cast<uint32_t>(stride), nullptr, &reason))
      return refuse(out, why, reason);
    pixels = static_cast<uint8_t*>(std::calloc(image_bytes, 1));
    if (!pixels) return refuse(out, why, "out of memory");
    decode_rle(dib + pixel_start, available, bits, w, h, static_cast<uint32_t>(stride), pixels, &reason);
    if (pixel_end) *pixel_end = size;
  }

  DibImage image{};
  image.width = static_cast<int32_t>(w);
  image.height = static_cast<int32_t>(h);
  image.top_down = top_down;
  image.bits = bits;
  image.stride = static_cast<uint32_t>(stride);
  image.pixels = pixels;
  image.color_count = static_cast<uint32_t>(bits <= 8 ? table_count : 0);
  for (uint32_t i = 0; i < image.color_count; ++i) {
    const uint8_t* e = dib + pos + uint64_t{i} * entry_size;
    image.colors[i] = uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
  }
  std::memcpy(image.masks, masks, sizeof masks);
  *out = image;
  if (why) *why = nullptr;
  return true;
}

}  // namespace

bool decode_bmp(const uint8_t* data, size_t size, DibImage* out, const char** why) {
  if (!data || size < FILE_HEADER_SIZE) return refuse(out, why, "file header cut short");
  if (data[0] != 'B' || data[1] != 'M') return refuse(out, why, "not a BMP file");
  const uint32_t offset = u32(data + 10);
  if (offset < FILE_HEADER_SIZE) return refuse(out, why, "pixel offset inside the headers");
  return decode_dib(data + FILE_HEADER_SIZE, size - FILE_HEADER_SIZE, false, offset - FILE_HEADER_SIZE, out,
                    nullptr, why);
}

bool decode_icon_dib(const uint8_t* data, size_t size, DibImage* out, size_t* mask_offset, const char** why) {
  if (!data) return refuse(out, why, "info header cut short");
  size_t end = 0;
  if (!decode_dib(data, size, true, 0, out, &end, why)) return false;
  if (mask_offset) *mask_offset = end;
  return true;
}

bool read_file_bytes(const char* path, std::vector<uint8_t>* bytes, const char** why) {
  FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) {
    if (why) *why = "cannot open the file";
    return false;
  }
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size < 0 || size > MAX_FILE_SIZE || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    if (why) *why = size > MAX_FILE_SIZE ? "file too large" : "cannot read the file";
    return false;
  }
  bytes->resize(static_cast<size_t>(size));
  const size_t got = size ? std::fread(bytes->data(), 1, bytes->size(), file) : 0;
  std::fclose(file);
  if (got != bytes->size()) {
    if (why) *why = "cannot read the file";
    return false;
  }
  return true;
}

bool read_bmp_file(const char* path, DibImage* out, const char** why) {
  std::vector<uint8_t> bytes;
  if (!read_file_bytes(path, &bytes, why)) return refuse(out, nullptr, nullptr);
  return decode_bmp(bytes.data(), bytes.size(), out, why);
}

void free_dib(DibImage* image) {
  if (!image) return;
  std::free(image->pixels);
  *image = DibImage{};
}

}  // namespace tvxp
