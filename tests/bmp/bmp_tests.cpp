// The BMP reader against small files: one table of good files with the image
// each must give, one of bad files with one fault each and the reason given.
#include <tvxp/bmp.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "image_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using imageio::put16;
using imageio::put32;

// A file built field by field, so that each bad case changes one of them.
struct Bmp {
  uint32_t header_size = 40;
  int32_t width = 1, height = 1;
  uint16_t planes = 1, bits = 24;
  uint32_t compression = 0, colors_used = 0;
  std::vector<uint32_t> masks;  // after a 40-byte header, or inside a longer one
  Bytes table;                  // colour table bytes as stored
  Bytes pixels;
  int64_t offset = -1;          // the stored pixel offset; -1: where the pixels start
  uint32_t file_size = 0, image_size = 0;

  Bytes build() const {
    Bytes h;
    put32(h, header_size);
    if (header_size == 12) {
      put16(h, static_cast<uint32_t>(width));
      put16(h, static_cast<uint32_t>(height));
      put16(h, planes);
      put16(h, bits);
    } else {
      put32(h, static_cast<uint32_t>(width));
      put32(h, static_cast<uint32_t>(height));
      put16(h, planes);
      put16(h, bits);
      put32(h, compression);
      put32(h, image_size);
      put32(h, 0);
      put32(h, 0);
      put32(h, colors_used);
      put32(h, 0);
      if (header_size > 40) {
        for (size_t i = 0; i < 4; ++i) put32(h, i < masks.size() ? masks[i] : 0);
        h.resize(header_size, 0);
      } else {
        for (uint32_t m : masks) put32(h, m);
      }
    }
    Bytes f = {'B', 'M'};
    const uint32_t start = static_cast<uint32_t>(14 + h.size() + table.size());
    put32(f, file_size);
    put32(f, 0);
    put32(f, offset < 0 ? start : static_cast<uint32_t>(offset));
    return f + h + table + pixels;
  }
};

Bmp with(Bmp b, void (*change)(Bmp&)) {
  change(b);
  return b;
}

// A 2x2 24-bit file: rows bottom-up, each 6 bytes padded to 8.
Bmp small24() {
  Bmp b;
  b.width = 2;
  b.height = 2;
  b.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  return b;
}

struct Good {
  const char* name;
  Bytes file;
  int width, height;
  bool top_down;
  uint16_t bits;
  uint32_t stride;
  Bytes pixels;
  std::vector<uint32_t> colors;
  std::vector<uint32_t> masks;
};

std::vector<Good> good_cases() {
  // Writer input, top row first: red, green / blue, white (alpha 0x80, 0x40, 0x20, 0x10).
  const uint8_t rgba[16] = {255, 0, 0, 0x80, 0, 255, 0, 0x40, 0, 0, 255, 0x20, 255, 255, 255, 0x10};
  const std::vector<uint32_t> none = {0, 0, 0, 0};
  std::vector<Good> g;
  g.push_back({"writer 24-bit bottom-up", imageio::build_bmp(rgba, 2, 2, 24), 2, 2, false, 24, 8,
               {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}, {}, none});
  g.push_back({"writer 24-bit top-down", imageio::build_bmp(rgba, 2, 2, 24, true), 2, 2, true, 24, 8,
               {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}, {}, none});
  g.push_back({"writer 32-bit keeps alpha, default masks", imageio::build_bmp(rgba, 2, 2, 32), 2, 2, false, 32, 8,
               {255, 0, 0, 0x20, 255, 255, 255, 0x10, 0, 0, 255, 0x80, 0, 255, 0, 0x40},
               {},
               {0xFF0000, 0xFF00, 0xFF, 0}});
  g.push_back({"writer 8-bit palette", imageio::build_bmp(rgba, 2, 2, 8), 2, 2, false, 8, 4, {2, 3, 0, 0, 0, 1, 0, 0},
               {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, none});
  g.push_back({"lying size fields ignored, trailing bytes too",
               with(small24(),
                    [](Bmp& b) {
                      b.file_size = 999999;
                      b.image_size = 1;
                      b.pixels = b.pixels + Bytes{9, 9, 9};
                    })
                   .build(),
               2, 2, false, 24, 8, small24().pixels, {}, none});
  g.push_back({"gap between table and pixels",
               with(small24(),
                    [](Bmp& b) {
                      b.offset = 14 + 40 + 4;
                      b.pixels = Bytes{0xEE, 0xEE, 0xEE, 0xEE} + b.pixels;
                    })
                   .build(),
               2, 2, false, 24, 8, small24().pixels, {}, none});
  g.push_back({"1-bit 9 wide pads to 4 bytes",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 1;
                      b.width = 9;
                      b.table = {0, 0, 0, 0, 0x30, 0x20, 0x10, 0};
                      b.pixels = {0xAA, 0x80, 0, 0};
                    })
                   .build(),
               9, 1, false, 1, 4, {0xAA, 0x80, 0, 0}, {0, 0x102030}, none});
  g.push_back({"4-bit with 3 colours used",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 4;
                      b.width = 3;
                      b.colors_used = 3;
                      b.table = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
                      b.pixels = {0x01, 0x20, 0, 0};
                    })
                   .build(),
               3, 1, false, 4, 4, {0x01, 0x20, 0, 0}, {1, 2, 3}, none});
  g.push_back({"16-bit plain has 5-5-5 masks",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 16;
                      b.pixels = {0x1F, 0x7C, 0, 0};
                    })
                   .build(),
               1, 1, false, 16, 4, {0x1F, 0x7C, 0, 0}, {}, {0x7C00, 0x03E0, 0x001F, 0}});
  g.push_back({"16-bit bit fields 5-6-5 after a 40-byte header",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 16;
                      b.compression = 3;
                      b.masks = {0xF800, 0x07E0, 0x001F};
                      b.pixels = {0xE0, 0x07, 0, 0};
                    })
                   .build(),
               1, 1, false, 16, 4, {0xE0, 0x07, 0, 0}, {}, {0xF800, 0x07E0, 0x001F, 0}});
  g.push_back({"32-bit bit fields with alpha in a 108-byte header",
               with(Bmp{},
                    [](Bmp& b) {
                      b.header_size = 108;
                      b.bits = 32;
                      b.compression = 3;
                      b.height = -1;
                      b.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
                      b.pixels = {1, 2, 3, 4};
                    })
                   .build(),
               1, 1, true, 32, 4, {1, 2, 3, 4}, {}, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}});
  g.push_back({"124-byte header, plain 24-bit", with(small24(), [](Bmp& b) { b.header_size = 124; }).build(), 2, 2,
               false, 24, 8, small24().pixels, {}, none});
  g.push_back({"12-byte core header with 3-byte colours",
               with(Bmp{},
                    [](Bmp& b) {
                      b.header_size = 12;
                      b.bits = 1;
                      b.width = 2;
                      b.table = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
                      b.pixels = {0x40, 0, 0, 0};
                    })
                   .build(),
               2, 1, false, 1, 4, {0x40, 0, 0, 0}, {0x302010, 0x605040}, none});
  g.push_back({"RLE8 runs, absolute run, delta, end of image",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 8;
                      b.compression = 1;
                      b.width = 4;
                      b.height = 3;
                      b.colors_used = 4;
                      b.table = {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
                      // Row 0: a run of two 3s, end of line. Row 1: absolute 1 2 3
                      // (padded to even), end of line. Row 2: delta one right, a
                      // run of two 1s, end of image. Skipped pixels stay 0.
                      b.pixels = {2, 3, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 0, 2, 1, 0, 1};
                    })
                   .build(),
               4, 3, false, 8, 4, {3, 3, 0, 0, 1, 2, 3, 0, 0, 1, 1, 0}, {0, 1, 2, 3}, none});
  g.push_back({"RLE4 alternates the nibbles",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 4;
                      b.compression = 2;
                      b.width = 5;
                      b.colors_used = 4;
                      b.table = {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
                      b.pixels = {5, 0x12, 0, 1};
                    })
                   .build(),
               5, 1, false, 4, 4, {0x12, 0x12, 0x10, 0}, {0, 1, 2, 3}, none});
  g.push_back({"RLE8 ending after its last end of line",
               with(Bmp{},
                    [](Bmp& b) {
                      b.bits = 8;
                      b.compression = 1;
                      b.colors_used = 1;
                      b.table = {9, 9, 9, 0};
                      b.pixels = {1, 0, 0, 0};
                    })
                   .build(),
               1, 1, false, 8, 4, {0, 0, 0, 0}, {0x090909}, none});
  return g;
}

struct Bad {
  const char* name;
  Bytes file;
  const char* reason;
};

Bmp rle8(Bytes data, int width = 4, int height = 2) {
  Bmp b;
  b.bits = 8;
  b.compression = 1;
  b.width = width;
  b.height = height;
  b.colors_used = 1;
  b.table = {0, 0, 0, 0};
  b.pixels = std::move(data);
  return b;
}

std::vector<Bad> bad_cases() {
  const Bytes good = small24().build();
  Bytes not_bm = good;
  not_bm[0] = 'X';
  std::vector<Bad> v = {
      {"empty", {}, "file header cut short"},
      {"13 bytes", Bytes(good.begin(), good.begin() + 13), "file header cut short"},
      {"not BM", not_bm, "not a BMP file"},
      {"info header cut short", Bytes(good.begin(), good.begin() + 14 + 39), "info header cut short"},
      {"header size 64", with(small24(), [](Bmp& b) { b.header_size = 64; }).build(), "unsupported info header size"},
      {"header size 0", with(small24(), [](Bmp& b) { b.header_size = 0; }).build(), "unsupported info header size"},
      {"width 0", with(small24(), [](Bmp& b) { b.width = 0; }).build(), "width not positive"},
      {"width negative", with(small24(), [](Bmp& b) { b.width = -2; }).build(), "width not positive"},
      {"height 0", with(small24(), [](Bmp& b) { b.height = 0; }).build(), "height zero"},
      {"height INT_MIN", with(small24(), [](Bmp& b) { b.height = INT_MIN; }).build(), "height out of range"},
      {"planes 2", with(small24(), [](Bmp& b) { b.planes = 2; }).build(), "plane count not 1"},
      {"2 bits", with(small24(), [](Bmp& b) { b.bits = 2; }).build(), "unsupported bits per pixel"},
      {"0 bits", with(small24(), [](Bmp& b) { b.bits = 0; }).build(), "unsupported bits per pixel"},
      {"core header 16 bits",
       with(small24(),
            [](Bmp& b) {
              b.header_size = 12;
              b.bits = 16;
            })
           .build(),
       "unsupported bits per pixel"},
      {"RLE8 at 24 bits", with(small24(), [](Bmp& b) { b.compression = 1; }).build(),
       "compression does not match the depth"},
      {"RLE4 at 8 bits", with(rle8({0, 1}), [](Bmp& b) { b.compression = 2; }).build(),
       "compression does not match the depth"},
      {"bit fields at 24 bits",
       with(small24(),
            [](Bmp& b) {
              b.compression = 3;
              b.masks = {0xFF0000, 0xFF00, 0xFF};
            })
           .build(),
       "compression does not match the depth"},
      {"JPEG compression", with(small24(), [](Bmp& b) { b.compression = 4; }).build(), "unsupported compression"},
      {"bit fields cut short",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 16;
              b.compression = 3;
              b.masks = {};
              b.pixels = {0, 0, 0, 0};
              b.offset = 14 + 40;
            })
           .build(),
       "bit masks cut short"},
      {"zero mask",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 16;
              b.compression = 3;
              b.masks = {0xF800, 0, 0x1F};
              b.pixels = {0, 0, 0, 0};
            })
           .build(),
       "bit masks zero or overlapping"},
      {"overlapping masks",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 32;
              b.compression = 3;
              b.masks = {0xFF0000, 0x01FF00, 0xFF};
              b.pixels = {0, 0, 0, 0};
            })
           .build(),
       "bit masks zero or overlapping"},
      {"alpha mask overlapping",
       with(Bmp{},
            [](Bmp& b) {
              b.header_size = 108;
              b.bits = 32;
              b.compression = 3;
              b.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF};
              b.pixels = {0, 0, 0, 0};
            })
           .build(),
       "bit masks zero or overlapping"},
      {"16-bit mask beyond 16 bits",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 16;
              b.compression = 3;
              b.masks = {0x1F0000, 0x07E0, 0x1F};
              b.pixels = {0, 0, 0, 0};
            })
           .build(),
       "bit masks zero or overlapping"},
      {"more colours than 1 bit allows",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 1;
              b.colors_used = 3;
              b.table = Bytes(12, 0);
              b.pixels = {0, 0, 0, 0};
            })
           .build(),
       "colour table longer than the depth allows"},
      {"millions of colours", with(rle8({0, 1}), [](Bmp& b) { b.colors_used = 5000000; }).build(),
       "colour table longer than the depth allows"},
      {"colour table runs into the pixels",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 8;
              b.colors_used = 4;
              b.table = Bytes(16, 0);
              b.pixels = {0, 0, 0, 0};
              b.offset = 14 + 40 + 8;
            })
           .build(),
       "colour table runs into the pixels"},
      {"pixel offset outside the file", with(small24(), [](Bmp& b) { b.offset = 1000; }).build(),
       "pixel offset outside the file"},
      {"pixel offset inside the info header", with(small24(), [](Bmp& b) { b.offset = 14 + 20; }).build(),
       "pixel offset inside the headers"},
      {"pixel offset inside the file header", with(small24(), [](Bmp& b) { b.offset = 4; }).build(),
       "pixel offset inside the headers"},
      {"pixel offset inside the masks",
       with(Bmp{},
            [](Bmp& b) {
              b.bits = 16;
              b.compression = 3;
              b.masks = {0xF800, 0x07E0, 0x1F};
              b.pixels = {0, 0, 0, 0};
              b.offset = 14 + 44;
            })
           .build(),
       "pixel offset inside the headers"},
      {"pixel data one byte short",
       with(small24(), [](Bmp& b) { b.pixels.pop_back(); }).build(), "pixel data cut short"},
      {"huge image in a tiny file",
       with(small24(),
            [](Bmp& b) {
              b.width = 16384;
              b.height = -16384;
            })
           .build(),
       "pixel data cut short"},
      {"above the pixel limit", with(small24(), [](Bmp& b) { b.width = 16385; b.height = 16384; }).build(),
       "image too large"},
      {"stride that would wrap", with(small24(), [](Bmp& b) { b.width = INT_MAX; b.height = 1; }).build(),
       "image too large"},
      {"RLE stored top-down", with(rle8({0, 1}), [](Bmp& b) { b.height = -2; }).build(),
       "run-length image stored top-down"},
      {"RLE run past the row", rle8({5, 0, 0, 1}).build(), "run-length run crosses the end of a row"},
      {"RLE run after a short run past the row", rle8({3, 0, 2, 0, 0, 1}).build(),
       "run-length run crosses the end of a row"},
      {"RLE absolute run past the row", rle8({0, 5, 1, 1, 1, 1, 1, 0, 0, 1}).build(),
       "run-length run crosses the end of a row"},
      {"RLE run after the last row", rle8({0, 0, 0, 0, 1, 0}).build(), "run-length data runs past the image"},
      {"RLE end of line past the image", rle8({0, 0, 0, 0, 0, 0}).build(), "run-length data runs past the image"},
      {"RLE delta past the row", rle8({0, 2, 5, 0, 0, 1}).build(), "run-length delta moves past the image"},
      {"RLE delta past the image", rle8({0, 2, 0, 2, 0, 1}).build(), "run-length delta moves past the image"},
      {"RLE ends with rows left", rle8({4, 0, 0, 0}).build(), "run-length data ends early"},
      {"RLE absolute run cut short", rle8({0, 3, 1, 1}).build(), "run-length data ends early"},
      {"RLE delta cut short", rle8({0, 2, 1}).build(), "run-length data ends early"},
      {"RLE4 run past the row",
       with(rle8({5, 0x11, 0, 1}),
            [](Bmp& b) {
              b.bits = 4;
              b.compression = 2;
            })
           .build(),
       "run-length run crosses the end of a row"},
  };
  return v;
}

TEST(DecodeBmp, GoodFiles) {
  for (const Good& c : good_cases()) {
    SCOPED_TRACE(c.name);
    tvxp::DibImage d;
    const char* why = "unset";
    ASSERT_TRUE(tvxp::decode_bmp(c.file.data(), c.file.size(), &d, &why)) << why;
    EXPECT_EQ(why, nullptr);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    EXPECT_EQ(d.top_down, c.top_down);
    EXPECT_EQ(d.bits, c.bits);
    EXPECT_EQ(d.stride, c.stride);
    EXPECT_EQ(Bytes(d.pixels, d.pixels + size_t{d.stride} * d.height), c.pixels);
    EXPECT_EQ(std::vector<uint32_t>(d.colors, d.colors + d.color_count), c.colors);
    // Entries past the table read black, so any 8-bit index is safe to look up.
    for (uint32_t i = d.color_count; i < 256; ++i) EXPECT_EQ(d.colors[i], 0u);
    EXPECT_EQ(std::vector<uint32_t>(d.masks, d.masks + 4), c.masks);
    tvxp::free_dib(&d);
    EXPECT_EQ(d.pixels, nullptr);
  }
}

TEST(DecodeBmp, BadFiles) {
  for (const Bad& c : bad_cases()) {
    SCOPED_TRACE(c.name);
    tvxp::DibImage d;
    d.pixels = reinterpret_cast<uint8_t*>(&d);
    const char* why = nullptr;
    EXPECT_FALSE(tvxp::decode_bmp(c.file.data(), c.file.size(), &d, &why));
    ASSERT_NE(why, nullptr);
    EXPECT_STREQ(why, c.reason);
    EXPECT_EQ(d.pixels, nullptr);
    EXPECT_EQ(d.width, 0);
  }
}

// Every prefix of a good file is refused: truncation is never filled in.
TEST(DecodeBmp, EveryTruncationRefused) {
  for (const Good& c : good_cases()) {
    SCOPED_TRACE(c.name);
    for (size_t n = 0; n < c.file.size(); ++n) {
      tvxp::DibImage d;
      const char* why = nullptr;
      bool ok = tvxp::decode_bmp(c.file.data(), n, &d, &why);
      if (ok) {
        // Only bytes past the pixels (trailing data, a missing end code after
        // the last row) may go.
        tvxp::free_dib(&d);
        EXPECT_TRUE(std::string(c.name).find("trailing") != std::string::npos ||
                    std::string(c.name).find("RLE") != std::string::npos)
            << n;
      } else {
        EXPECT_NE(why, nullptr);
      }
    }
  }
}

TEST(ReadBmpFile, ReadsAndRefuses) {
  const uint8_t rgba[4] = {10, 20, 30, 255};
  char name[] = "/tmp/bmp_tests_XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_TRUE(imageio::write_bmp(name, rgba, 1, 1, 24));
  tvxp::DibImage d;
  const char* why = nullptr;
  ASSERT_TRUE(tvxp::read_bmp_file(name, &d, &why));
  EXPECT_EQ(Bytes(d.pixels, d.pixels + 3), (Bytes{30, 20, 10}));
  tvxp::free_dib(&d);
  unlink(name);
  EXPECT_FALSE(tvxp::read_bmp_file(name, &d, &why));
  EXPECT_NE(why, nullptr);
  EXPECT_EQ(d.pixels, nullptr);
}

}  // namespace
