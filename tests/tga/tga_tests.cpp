// The TGA reader against small files built byte by byte: every refusal with
// its exact message and caption, and the pixels of every success.
#include <tarvex/tga.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <tvxp/bmp.h>
#include <tvxp/msgbox.h>

#include "image_writer.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes repeat(const Bytes& unit, size_t n) {
  Bytes out;
  for (size_t i = 0; i < n; ++i) out = out + unit;
  return out;
}

// The 12 template bytes with the given image type.
Bytes lead(uint8_t type) { return {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }

// The 6 bytes after the template: width, height, depth, descriptor.
Bytes info(unsigned w, unsigned h, uint8_t bpp, uint8_t desc = 0) {
  return {uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), bpp, desc};
}

Bytes tga(uint8_t type, unsigned w, unsigned h, uint8_t bpp, const Bytes& body, uint8_t desc = 0) {
  return lead(type) + info(w, h, bpp, desc) + body;
}

constexpr const char* kOk = "";

struct Case {
  const char* name;
  Bytes file;
  const char* message;  // kOk for a successful read
  const char* caption;
  Bytes pixels = {};    // expected IMAGEDATA for a successful read
  unsigned width = 0, height = 0, bpp = 0;
};

const Bytes kFooter = Bytes{0, 0, 0, 0, 0, 0, 0, 0} + Bytes{'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O', 'N',
                                                              '-', 'X', 'F', 'I', 'L', 'E', '.', 0};

std::vector<Case> cases() {
  const Bytes px24 = {0x10, 0x20, 0x30};
  const Bytes rgb24 = {0x30, 0x20, 0x10};
  const Bytes px32 = {0x10, 0x20, 0x30, 0x40};
  const Bytes rgba32 = {0x30, 0x20, 0x10, 0x40};
  Bytes with_id = tga(2, 1, 1, 24, px24);
  with_id[0] = 1;
  Bytes x_origin = tga(2, 1, 1, 24, px24);
  x_origin[8] = 1;
  Bytes y_origin = tga(2, 1, 1, 24, px24);
  y_origin[11] = 1;
  Bytes colour_map = tga(2, 1, 1, 24, px24);
  colour_map[1] = 1;
  return {
      // Refusals of the file as a whole.
      {"eleven bytes", Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}, "Could not read file header", "ERROR"},
      {"empty file", {}, "Could not read file header", "ERROR"},
      {"template only", lead(2), "Could not read info header", "ERROR"},
      {"rle template only", lead(10), "Could not read info header", "ERROR"},
      {"info header cut short", lead(2) + Bytes{1, 0, 1, 0, 24}, "Could not read info header", "ERROR"},
      {"image id", with_id, "TGA file be type 2 or type 10", "Invalid Image"},
      {"x origin", x_origin, "TGA file be type 2 or type 10", "Invalid Image"},
      {"y origin", y_origin, "TGA file be type 2 or type 10", "Invalid Image"},
      {"colour map present", colour_map, "TGA file be type 2 or type 10", "Invalid Image"},
      {"colour-mapped type 1", tga(1, 1, 1, 8, {0}), "TGA file be type 2 or type 10", "Invalid Image"},
      {"grey type 3", tga(3, 1, 1, 8, {0}), "TGA file be type 2 or type 10", "Invalid Image"},
      {"rle grey type 11", tga(11, 1, 1, 8, {0x80, 0}), "TGA file be type 2 or type 10", "Invalid Image"},
      {"16-bit", tga(2, 1, 1, 16, {0, 0}), "Invalid texture information", "ERROR"},
      {"8-bit rle", tga(10, 1, 1, 8, {0x80, 0}), "Invalid texture information", "ERROR"},
      {"width 0", tga(2, 0, 1, 24, px24), "Invalid texture information", "ERROR"},
      {"height 0", tga(10, 1, 0, 32, {0x80, 1, 2, 3, 4}), "Invalid texture information", "ERROR"},
      // Sizes: above the image limit before anything else, then (plain images)
      // more pixels than the file holds before any allocation.
      {"above the limit", tga(2, 65535, 65535, 32, {}), "Could not allocate memory for image", "ERROR"},
      {"one row above the limit", tga(10, 16384, 16385, 24, {0xFF, 0, 0, 0}), "Could not allocate memory for image",
       "ERROR"},
      {"huge plain image in a tiny file", tga(2, 16384, 16384, 32, px32), "Could not read image data", "ERROR"},
      {"plain one byte short", tga(2, 2, 1, 24, px24 + Bytes{1, 2}), "Could not read image data", "ERROR"},
      {"plain no pixels", tga(2, 1, 1, 32, {}), "Could not read image data", "ERROR"},
      // Run-length packets.
      {"rle no packet", tga(10, 1, 1, 24, {}), "Could not read RLE header", "ERROR"},
      {"rle second packet missing", tga(10, 2, 1, 24, Bytes{0x80} + px24), "Could not read RLE header", "ERROR"},
      {"rle cut in a raw pixel", tga(10, 2, 1, 24, Bytes{0x01} + px24 + Bytes{1, 2}), "Could not read image data",
       "ERROR"},
      {"rle cut in a run pixel", tga(10, 2, 1, 32, Bytes{0x81, 1, 2, 3}), "Could not read from file", "ERROR"},
      {"rle run one pixel too many", tga(10, 2, 2, 24, Bytes{0x84} + px24), "Too many pixels read", "ERROR"},
      {"rle raw one pixel too many", tga(10, 2, 1, 24, Bytes{0x00} + px24 + Bytes{0x01} + px24 + px24),
       "Too many pixels read", "ERROR"},
      {"rle 128-run into 127 pixels", tga(10, 127, 1, 24, Bytes{0xFF} + px24), "Too many pixels read", "ERROR"},
      // Successes.
      {"plain 24-bit byte order", tga(2, 1, 1, 24, px24), kOk, "", rgb24, 1, 1, 24},
      {"plain 32-bit byte order", tga(2, 1, 1, 32, px32), kOk, "", rgba32, 1, 1, 32},
      {"plain rows in file order despite the origin bit",
       tga(2, 1, 2, 24, Bytes{1, 2, 3, 4, 5, 6}, 0x20), kOk, "", {3, 2, 1, 6, 5, 4}, 1, 2, 24},
      {"plain footer ignored", tga(2, 1, 1, 24, px24 + kFooter), kOk, "", rgb24, 1, 1, 24},
      {"plain 3x1 unpadded rows", tga(2, 3, 1, 24, px24 + px24 + Bytes{7, 8, 9}), kOk, "",
       rgb24 + rgb24 + Bytes{9, 8, 7}, 3, 1, 24},
      {"rle 2x2 run 0x83", tga(10, 2, 2, 32, Bytes{0x83} + px32), kOk, "", repeat(rgba32, 4), 2, 2, 32},
      {"rle run of 1", tga(10, 1, 1, 24, Bytes{0x80} + px24), kOk, "", rgb24, 1, 1, 24},
      {"rle run of 128", tga(10, 128, 1, 24, Bytes{0xFF} + px24), kOk, "", repeat(rgb24, 128), 128, 1, 24},
      {"rle raw of 1", tga(10, 1, 1, 32, Bytes{0x00} + px32), kOk, "", rgba32, 1, 1, 32},
      {"rle raw of 128", tga(10, 64, 2, 24, Bytes{0x7F} + repeat(px24, 128)), kOk, "", repeat(rgb24, 128), 64, 2,
       24},
      {"rle packets across rows, footer ignored",
       tga(10, 3, 2, 24, Bytes{0x01} + px24 + Bytes{4, 5, 6} + Bytes{0x83, 7, 8, 9} + kFooter), kOk, "",
       rgb24 + Bytes{6, 5, 4} + repeat({9, 8, 7}, 4), 3, 2, 24},
  };
}

std::string temp_file(const Bytes& data) {
  char name[] = "/tmp/tga_tests_XXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  if (!data.empty()) {
    EXPECT_EQ(write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
  }
  close(fd);
  return name;
}

TEST(LoadTga, EveryCase) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    std::string path = temp_file(c.file);
    tvx_test::record_boxes(0);
    Tarvex::TGATEXTURE tex{};
    tex.TEXID = 77;
    bool ok = Tarvex::LOADTGA(tex, path.c_str());
    unlink(path.c_str());
    EXPECT_EQ(Tarvex::FTGA, nullptr);
    EXPECT_EQ(tex.TEXID, 77u);
    if (*c.message == 0) {
      EXPECT_TRUE(ok);
      EXPECT_TRUE(tvx_test::boxes().empty());
      EXPECT_EQ(tex.WIDTH, c.width);
      EXPECT_EQ(tex.HEIGHT, c.height);
      EXPECT_EQ(tex.BPP, c.bpp);
      EXPECT_EQ(tex.TYP, c.bpp == 24 ? 0x1907u : 0x1908u);
      EXPECT_EQ(Tarvex::TGA.IMAGESIZE, c.pixels.size());
      ASSERT_NE(tex.IMAGEDATA, nullptr);
      EXPECT_EQ(Bytes(tex.IMAGEDATA, tex.IMAGEDATA + c.pixels.size()), c.pixels);
      std::free(tex.IMAGEDATA);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(tex.IMAGEDATA, nullptr);
      ASSERT_EQ(tvx_test::boxes().size(), 1u);
      EXPECT_EQ(tvx_test::boxes()[0].text, c.message);
      EXPECT_EQ(tvx_test::boxes()[0].caption, c.caption);
      EXPECT_EQ(tvx_test::boxes()[0].style, tvxp::MB_OK);
    }
  }
  tvx_test::stop_recording_boxes();
}

TEST(LoadTga, MissingFile) {
  tvx_test::record_boxes(0);
  Tarvex::TGATEXTURE tex{};
  EXPECT_FALSE(Tarvex::LOADTGA(tex, "/nonexistent/dir/erba01.tga"));
  ASSERT_EQ(tvx_test::boxes().size(), 1u);
  EXPECT_EQ(tvx_test::boxes()[0].text, "Could not open texture file");
  EXPECT_EQ(tvx_test::boxes()[0].caption, "ERROR");
  EXPECT_EQ(Tarvex::FTGA, nullptr);
  tvx_test::stop_recording_boxes();
}

// The header fields reach the record before the validity test refuses them.
TEST(LoadTga, RefusedHeaderValuesStayInTheRecord) {
  std::string path = temp_file(tga(2, 3, 5, 16, {}));
  tvx_test::record_boxes(0);
  Tarvex::TGATEXTURE tex{};
  EXPECT_FALSE(Tarvex::LOADTGA(tex, path.c_str()));
  unlink(path.c_str());
  EXPECT_EQ(tex.WIDTH, 3u);
  EXPECT_EQ(tex.HEIGHT, 5u);
  EXPECT_EQ(tex.BPP, 16u);
  EXPECT_EQ(Tarvex::TGA.HEIGH, 5u);
  tvx_test::stop_recording_boxes();
}

// The writer's files come back as written: every depth and coding, rows in
// the order stored (top row first only when the file says so).
TEST(LoadTga, WriterFilesRoundTrip) {
  const int w = 5, h = 3;
  std::vector<uint8_t> rgba;
  for (int i = 0; i < w * h; ++i) {
    const uint8_t v = static_cast<uint8_t>(i < 8 ? 1 : 10 * i);  // a run, then changes
    rgba.insert(rgba.end(), {v, static_cast<uint8_t>(v + 1), static_cast<uint8_t>(v + 2), static_cast<uint8_t>(i < 8 ? 255 : i)});
  }
  for (int bits : {24, 32})
    for (bool rle : {false, true})
      for (bool top_down : {false, true}) {
        SCOPED_TRACE(std::to_string(bits) + (rle ? " rle" : " plain") + (top_down ? " top-down" : " bottom-up"));
        const Bytes file = imageio::build_tga(rgba.data(), w, h, bits, rle, top_down);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(file[2], rle ? 10 : 2);
        if (rle) {
          EXPECT_LT(file.size(), size_t{18} + size_t(w) * h * bits / 8);
        }
        std::string path = temp_file(file);
        tvx_test::record_boxes(0);
        Tarvex::TGATEXTURE tex{};
        ASSERT_TRUE(Tarvex::LOADTGA(tex, path.c_str()));
        unlink(path.c_str());
        Bytes want;
        for (int r = 0; r < h; ++r) {
          const int y = top_down ? r : h - 1 - r;
          for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
            want.insert(want.end(), p, p + bits / 8);
          }
        }
        EXPECT_EQ(Bytes(tex.IMAGEDATA, tex.IMAGEDATA + want.size()), want);
        std::free(tex.IMAGEDATA);
      }
  tvx_test::stop_recording_boxes();
}

}  // namespace
