// Writes the fuzzers' starting corpus: small valid files of every kind the
// readers know, made with the image writer, plus a few variants it does not
// write (run-length BMPs, bit fields, the core header).
#include <cstdio>
#include <string>
#include <vector>

#include "image_writer.h"

using imageio::Bytes;

namespace {

using imageio::put16;
using imageio::put32;

// A BMP with a 40-byte header, an optional table or masks, then the data.
Bytes bmp(int w, int h, uint16_t bits, uint32_t compression, const Bytes& extra, uint32_t colors, const Bytes& data) {
  Bytes b = {'B', 'M'};
  put32(b, 0);
  put32(b, 0);
  put32(b, static_cast<uint32_t>(14 + 40 + extra.size()));
  put32(b, 40);
  put32(b, static_cast<uint32_t>(w));
  put32(b, static_cast<uint32_t>(h));
  put16(b, 1);
  put16(b, bits);
  put32(b, compression);
  put32(b, 0);
  put32(b, 0);
  put32(b, 0);
  put32(b, colors);
  put32(b, 0);
  b.insert(b.end(), extra.begin(), extra.end());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

bool save(const std::string& dir, const std::string& name, const Bytes& bytes) {
  return imageio::write_file(dir + "/" + name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_seeds TGA_DIR BMP_DIR CURSOR_DIR\n");
    return 2;
  }
  const std::string tga = argv[1], bmpdir = argv[2], cur = argv[3];
  std::vector<uint8_t> rgba;
  for (int i = 0; i < 5 * 3; ++i) {
    const uint8_t v = static_cast<uint8_t>(i < 7 ? 40 : 200);  // runs and changes
    rgba.insert(rgba.end(), {v, static_cast<uint8_t>(i * 9), 7, static_cast<uint8_t>(i * 17)});
  }
  bool ok = true;
  for (int bits : {24, 32})
    for (bool rle : {false, true})
      for (bool top : {false, true})
        ok &= save(tga, "t" + std::to_string(bits) + (rle ? "r" : "p") + (top ? "t" : "b") + ".tga",
                   imageio::build_tga(rgba.data(), 5, 3, bits, rle, top));
  for (int bits : {8, 24, 32})
    for (bool top : {false, true})
      ok &= save(bmpdir, "b" + std::to_string(bits) + (top ? "t" : "b") + ".bmp",
                 imageio::build_bmp(rgba.data(), 5, 3, bits, top));
  const Bytes table4 = {0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0};
  ok &= save(bmpdir, "rle8.bmp", bmp(4, 3, 8, 1, table4, 4, {2, 3, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 0, 2, 1, 0, 1}));
  ok &= save(bmpdir, "rle4.bmp", bmp(5, 2, 4, 2, table4, 4, {5, 0x12, 0, 0, 0, 3, 0x12, 0x30, 0, 1}));
  Bytes masks565;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) put32(masks565, m);
  ok &= save(bmpdir, "bf16.bmp", bmp(3, 2, 16, 3, masks565, 0, Bytes(16, 0x5A)));
  ok &= save(bmpdir, "rgb1.bmp", bmp(9, 2, 1, 0, {0, 0, 0, 0, 255, 255, 255, 0}, 2, {0xAA, 0x80, 0, 0, 0x55, 0, 0, 0}));
  Bytes core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 12 + 6, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0};
  core.insert(core.end(), {0, 0, 0, 255, 255, 255, 0x40, 0, 0, 0});
  ok &= save(bmpdir, "core1.bmp", core);
  ok &= save(cur, "icon.ico", imageio::build_icon(rgba.data(), 5, 3, false));
  ok &= save(cur, "cursor.cur", imageio::build_icon(rgba.data(), 5, 3, true, 2, 1));
  // A two-image icon: a 1-bit and the 32-bit one, to reach the choice between entries.
  Bytes two = {0, 0, 1, 0, 2, 0};
  const Bytes mono_dib = [] {
    Bytes d;
    put32(d, 40);
    put32(d, 8);
    put32(d, 16);
    put16(d, 1);
    put16(d, 1);
    for (int i = 0; i < 6; ++i) put32(d, 0);
    d.insert(d.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    for (int i = 0; i < 8; ++i) d.insert(d.end(), {0x3C, 0, 0, 0});
    for (int i = 0; i < 8; ++i) d.insert(d.end(), {static_cast<uint8_t>(i & 1 ? 0xFF : 0), 0, 0, 0});
    return d;
  }();
  const Bytes icon = imageio::build_icon(rgba.data(), 5, 3, false);
  const Bytes colour_dib(icon.begin() + 22, icon.end());
  const uint32_t first = 6 + 32;
  for (const Bytes* d : {&mono_dib, &colour_dib}) {
    two.insert(two.end(), {static_cast<uint8_t>(d == &mono_dib ? 8 : 5), static_cast<uint8_t>(d == &mono_dib ? 8 : 3),
                           0, 0, 1, 0, static_cast<uint8_t>(d == &mono_dib ? 1 : 32), 0});
    put32(two, static_cast<uint32_t>(d->size()));
    put32(two, d == &mono_dib ? first : first + static_cast<uint32_t>(mono_dib.size()));
  }
  two.insert(two.end(), mono_dib.begin(), mono_dib.end());
  two.insert(two.end(), colour_dib.begin(), colour_dib.end());
  ok &= save(cur, "two.ico", two);
  return ok ? 0 : 1;
}
