#include "image_writer.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace imageio {

void put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

namespace {

bool sizes_ok(int width, int height) {
  return width > 0 && height > 0 && int64_t{width} * height <= (int64_t{1} << 28);
}

const uint8_t* pixel(const uint8_t* rgba, int width, int x, int y) {
  return rgba + (static_cast<size_t>(y) * width + x) * 4;
}

void info_header(Bytes& b, int width, int height, int bits, uint32_t image_bytes, uint32_t colors) {
  put32(b, 40);
  put32(b, static_cast<uint32_t>(width));
  put32(b, static_cast<uint32_t>(height));
  put16(b, 1);
  put16(b, static_cast<uint32_t>(bits));
  put32(b, 0);  // BI_RGB
  put32(b, image_bytes);
  put32(b, 2835);  // 72 dpi
  put32(b, 2835);
  put32(b, colors);
  put32(b, 0);
}

}  // namespace

Bytes build_bmp(const uint8_t* rgba, int width, int height, int bits, bool top_down) {
  if (!rgba || !sizes_ok(width, height) || (bits != 8 && bits != 24 && bits != 32)) return {};
  std::map<uint32_t, uint8_t> index;
  std::vector<uint32_t> palette;
  if (bits == 8) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = pixel(rgba, width, x, y);
        const uint32_t c = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
        if (index.count(c)) continue;
        if (palette.size() == 256) return {};
        index[c] = static_cast<uint8_t>(palette.size());
        palette.push_back(c);
      }
  }
  const uint32_t stride = (static_cast<uint32_t>(width) * bits + 31) / 32 * 4;
  const uint32_t image_bytes = stride * static_cast<uint32_t>(height);
  const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
  Bytes b;
  b.reserve(offset + image_bytes);
  b.push_back('B');
  b.push_back('M');
  put32(b, offset + image_bytes);
  put32(b, 0);
  put32(b, offset);
  info_header(b, width, top_down ? -height : height, bits, image_bytes, static_cast<uint32_t>(palette.size()));
  for (uint32_t c : palette) put32(b, c);
  for (int r = 0; r < height; ++r) {
    const int y = top_down ? r : height - 1 - r;
    const size_t start = b.size();
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = pixel(rgba, width, x, y);
      if (bits == 8) {
        b.push_back(index[uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]]);
      } else {
        b.push_back(p[2]);
        b.push_back(p[1]);
        b.push_back(p[0]);
        if (bits == 32) b.push_back(p[3]);
      }
    }
    b.resize(start + stride, 0);
  }
  return b;
}

Bytes build_tga(const uint8_t* rgba, int width, int height, int bits, bool rle, bool top_down) {
  if (!rgba || !sizes_ok(width, height) || width > 65535 || height > 65535 || (bits != 24 && bits != 32)) return {};
  const size_t bpp = static_cast<size_t>(bits) / 8;
  Bytes b = {0, 0, static_cast<uint8_t>(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  put16(b, static_cast<uint32_t>(width));
  put16(b, static_cast<uint32_t>(height));
  b.push_back(static_cast<uint8_t>(bits));
  b.push_back(static_cast<uint8_t>((bits == 32 ? 8 : 0) | (top_down ? 0x20 : 0)));
  // The pixels in stored order, B, G, R (, A).
  Bytes stream;
  stream.reserve(static_cast<size_t>(width) * height * bpp);
  for (int r = 0; r < height; ++r) {
    const int y = top_down ? r : height - 1 - r;
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = pixel(rgba, width, x, y);
      const uint8_t stored[4] = {p[2], p[1], p[0], p[3]};
      stream.insert(stream.end(), stored, stored + bpp);
    }
  }
  if (!rle) {
    b.insert(b.end(), stream.begin(), stream.end());
    return b;
  }
  const size_t count = stream.size() / bpp;
  auto same = [&](size_t i, size_t j) { return std::memcmp(&stream[i * bpp], &stream[j * bpp], bpp) == 0; };
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      b.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      b.insert(b.end(), stream.begin() + i * bpp, stream.begin() + (i + 1) * bpp);
      i += run;
      continue;
    }
    // A raw packet up to the next pair of equal pixels.
    size_t raw = 1;
    while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1))) ++raw;
    b.push_back(static_cast<uint8_t>(raw - 1));
    b.insert(b.end(), stream.begin() + i * bpp, stream.begin() + (i + raw) * bpp);
    i += raw;
  }
  return b;
}

Bytes build_icon(const uint8_t* rgba, int width, int height, bool cursor, int hot_x, int hot_y) {
  if (!rgba || width < 1 || height < 1 || width > 256 || height > 256) return {};
  const uint32_t stride = static_cast<uint32_t>(width) * 4;
  const uint32_t mask_stride = (static_cast<uint32_t>(width) + 31) / 32 * 4;
  const uint32_t image_bytes = (stride + mask_stride) * static_cast<uint32_t>(height);
  const uint32_t entry_bytes = 40 + image_bytes;
  Bytes b;
  put16(b, 0);
  put16(b, cursor ? 2 : 1);
  put16(b, 1);
  b.push_back(static_cast<uint8_t>(width == 256 ? 0 : width));
  b.push_back(static_cast<uint8_t>(height == 256 ? 0 : height));
  b.push_back(0);
  b.push_back(0);
  put16(b, cursor ? static_cast<uint32_t>(hot_x) : 1);
  put16(b, cursor ? static_cast<uint32_t>(hot_y) : 32);
  put32(b, entry_bytes);
  put32(b, 6 + 16);
  info_header(b, width, height * 2, 32, image_bytes, 0);
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = pixel(rgba, width, x, y);
      b.insert(b.end(), {p[2], p[1], p[0], p[3]});
    }
  for (int y = height - 1; y >= 0; --y) {
    const size_t start = b.size();
    b.resize(start + mask_stride, 0);
    for (int x = 0; x < width; ++x)
      if (pixel(rgba, width, x, y)[3] == 0) b[start + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }
  return b;
}

bool write_file(const std::string& path, const Bytes& bytes) {
  if (bytes.empty()) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool write_bmp(const std::string& path, const uint8_t* rgba, int width, int height, int bits, bool top_down) {
  return write_file(path, build_bmp(rgba, width, height, bits, top_down));
}

bool write_tga(const std::string& path, const uint8_t* rgba, int width, int height, int bits, bool rle,
               bool top_down) {
  return write_file(path, build_tga(rgba, width, height, bits, rle, top_down));
}

}  // namespace imageio
