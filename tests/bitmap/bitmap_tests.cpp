// Bitmaps loaded from BMP files: geometry, row order and bytes as the texture
// loader reads them through get_object, refusals, and release.
#include <tvxp/bitmap.h>

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <tvxp/window.h>

#include "bitmap_internal.h"
#include "image_writer.h"
#include "test_support.h"

namespace {

using namespace tvxp;

constexpr UINT kFlags = LR_LOADFROMFILE | LR_LOADTRANSPARENT | LR_CREATEDIBSECTION;


// RGBA pixels, top row first, every byte distinct enough to show a swap or a
// row in the wrong place.
std::vector<uint8_t> picture(int w, int h) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      rgba.push_back(static_cast<uint8_t>(0x10 + 16 * y + x));  // red
      rgba.push_back(static_cast<uint8_t>(0x80 + 16 * y + x));  // green
      rgba.push_back(static_cast<uint8_t>(0xC0 + 8 * y + x));   // blue
      rgba.push_back(static_cast<uint8_t>(0x40 + y));           // alpha
    }
  return rgba;
}

struct LoadCase {
  int bits;
  bool top_down;
};

class BitmapLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(BitmapLoad, KeepsDepthRowOrderAndPaddedStride) {
  const LoadCase c = GetParam();
  const int w = 3, h = 2;
  const std::vector<uint8_t> rgba = picture(w, h);
  const std::string path = tvx_test::write_fixture("load" + std::to_string(c.bits) + (c.top_down ? "td" : "bu") + ".bmp",
                                   imageio::build_bmp(rgba.data(), w, h, c.bits, c.top_down));
  HBITMAP bmp = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, kFlags);
  ASSERT_NE(bmp, 0u);

  BITMAP bm;
  std::memset(&bm, 0xEE, sizeof bm);
  ASSERT_EQ(get_object(bmp, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmType, 0);
  EXPECT_EQ(bm.bmWidth, w);
  EXPECT_EQ(bm.bmHeight, h);
  const int bpp = c.bits / 8;
  const int stride = (w * bpp + 3) / 4 * 4;
  EXPECT_EQ(bm.bmWidthBytes, stride);
  EXPECT_EQ(bm.bmPlanes, 1);
  EXPECT_EQ(bm.bmBitsPixel, c.bits);
  ASSERT_NE(bm.bmBits, nullptr);

  const DibImage* image = internal::bitmap_image(bmp);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->top_down, c.top_down);
  EXPECT_EQ(image->pixels, bm.bmBits);

  // Memory row r is picture row r for a top-down file, row h - 1 - r else.
  const uint8_t* bits = static_cast<const uint8_t*>(bm.bmBits);
  for (int r = 0; r < h; ++r) {
    const int y = c.top_down ? r : h - 1 - r;
    for (int x = 0; x < w; ++x) {
      const uint8_t* got = bits + r * stride + x * bpp;
      const uint8_t* want = &rgba[(y * w + x) * 4];
      EXPECT_EQ(got[0], want[2]) << "blue, row " << r << " x " << x;
      EXPECT_EQ(got[1], want[1]) << "green";
      EXPECT_EQ(got[2], want[0]) << "red";
      if (bpp == 4) {
        EXPECT_EQ(got[3], want[3]) << "alpha";
      }
    }
  }
  EXPECT_TRUE(delete_object(bmp));
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapLoad,
                         ::testing::Values(LoadCase{24, false}, LoadCase{24, true}, LoadCase{32, false},
                                           LoadCase{32, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.bits) + (info.param.top_down ? "TopDown" : "BottomUp");
                         });

TEST(Bitmap, RefusedFilesAndRequestsGiveNoHandle) {
  const std::vector<uint8_t> rgba = picture(2, 2);
  const imageio::Bytes good = imageio::build_bmp(rgba.data(), 2, 2, 24);
  const std::string ok = tvx_test::write_fixture("good.bmp", good);
  imageio::Bytes cut(good.begin(), good.end() - 3);
  imageio::Bytes not_bmp = good;
  not_bmp[0] = 'X';
  const std::string cut_path = tvx_test::write_fixture("cut.bmp", cut);
  const std::string not_bmp_path = tvx_test::write_fixture("notbmp.bmp", not_bmp);
  const std::string empty_path = tvx_test::write_fixture("empty.bmp", {});
  const size_t live = internal::live_bitmaps();

  const std::string dir = tvx_test::scratch_dir();  // kept alive: the table holds its characters
  struct Case {
    const char* what;
    const char* name;
    UINT type;
    int cx, cy;
    UINT flags;
  } cases[] = {
      {"missing file", "/nonexistent/dir/none.bmp", IMAGE_BITMAP, 0, 0, kFlags},
      {"null name", nullptr, IMAGE_BITMAP, 0, 0, kFlags},
      {"pixel data cut short", cut_path.c_str(), IMAGE_BITMAP, 0, 0, kFlags},
      {"not a BMP", not_bmp_path.c_str(), IMAGE_BITMAP, 0, 0, kFlags},
      {"empty file", empty_path.c_str(), IMAGE_BITMAP, 0, 0, kFlags},
      {"a directory", dir.c_str(), IMAGE_BITMAP, 0, 0, kFlags},
      {"not a bitmap request", ok.c_str(), 1, 0, 0, kFlags},
      {"resource, not file", ok.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION},
      {"resampling", ok.c_str(), IMAGE_BITMAP, 4, 4, kFlags},
  };
  for (const Case& c : cases) EXPECT_EQ(load_image(c.name, c.type, c.cx, c.cy, c.flags), 0u) << c.what;
  EXPECT_EQ(internal::live_bitmaps(), live) << "a refusal keeps nothing";

  HBITMAP own_size = load_image(ok.c_str(), IMAGE_BITMAP, 2, 2, kFlags);
  EXPECT_NE(own_size, 0u) << "the image's own size is no resampling";
  EXPECT_TRUE(delete_object(own_size));
}

TEST(Bitmap, GetObjectNeedsRoomForTheRecord) {
  const std::vector<uint8_t> rgba = picture(1, 1);
  const std::string path = tvx_test::write_fixture("one.bmp", imageio::build_bmp(rgba.data(), 1, 1, 32));
  HBITMAP bmp = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, kFlags);
  ASSERT_NE(bmp, 0u);
  BITMAP bm{};
  EXPECT_EQ(get_object(bmp, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(get_object(bmp, sizeof(BITMAP) - 1, &bm), 0);
  EXPECT_EQ(get_object(0, sizeof bm, &bm), 0);
  EXPECT_EQ(get_object(get_stock_object(0), sizeof bm, &bm), 0) << "a brush is no bitmap";
  EXPECT_TRUE(delete_object(bmp));
}

TEST(Bitmap, DeleteReleasesOnceAndInvalidatesTheHandle) {
  const std::vector<uint8_t> rgba = picture(4, 3);
  const std::string path = tvx_test::write_fixture("del.bmp", imageio::build_bmp(rgba.data(), 4, 3, 24));
  const size_t live = internal::live_bitmaps();
  HBITMAP a = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, kFlags);
  HBITMAP b = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, kFlags);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(internal::live_bitmaps(), live + 2);

  static HBITMAP seen;
  static int seen_width;
  internal::bitmap_delete_hook = [](HBITMAP h, const DibImage& image) {
    seen = h;
    seen_width = image.width;
  };
  EXPECT_TRUE(delete_object(a));
  internal::bitmap_delete_hook = nullptr;
  EXPECT_EQ(seen, a);
  EXPECT_EQ(seen_width, 4);

  EXPECT_FALSE(delete_object(a)) << "already released";
  BITMAP bm{};
  EXPECT_EQ(get_object(a, sizeof bm, &bm), 0);
  EXPECT_EQ(internal::bitmap_image(a), nullptr);
  EXPECT_EQ(get_object(b, sizeof bm, &bm), static_cast<int>(sizeof bm)) << "the other bitmap lives on";
  EXPECT_TRUE(delete_object(b));
  EXPECT_EQ(internal::live_bitmaps(), live);

  EXPECT_FALSE(delete_object(0));
  EXPECT_FALSE(delete_object(get_stock_object(0))) << "brushes are not released here";
}

TEST(Bitmap, LoadTransparentWhitensThePaletteEntryOfTheFirstPixel) {
  // Two colours; the first stored pixel (bottom-left) is blue.
  const uint8_t rgba[] = {255, 0, 0, 255, 255, 0, 0, 255,   // top row: red
                          0, 0, 255, 255, 255, 0, 0, 255};  // bottom row: blue, red
  const std::string path = tvx_test::write_fixture("pal.bmp", imageio::build_bmp(rgba, 2, 2, 8));
  HBITMAP plain = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  HBITMAP transparent = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, kFlags);
  ASSERT_NE(plain, 0u);
  ASSERT_NE(transparent, 0u);
  const DibImage* p = internal::bitmap_image(plain);
  const DibImage* t = internal::bitmap_image(transparent);
  ASSERT_EQ(p->bits, 8);
  const uint8_t first = p->pixels[0];
  ASSERT_LT(first, p->color_count);
  EXPECT_EQ(p->colors[first], 0x0000FFu);
  EXPECT_EQ(t->colors[first], 0xFFFFFFu);
  for (uint32_t i = 0; i < p->color_count; ++i)
    if (i != first) {
      EXPECT_EQ(t->colors[i], p->colors[i]) << "entry " << i;
    }
  EXPECT_EQ(std::memcmp(p->pixels, t->pixels, p->stride * 2), 0) << "indices unchanged";
  EXPECT_TRUE(delete_object(plain));
  EXPECT_TRUE(delete_object(transparent));

  // Deeper images have no table: the flag leaves their pixels alone.
  const std::string deep = tvx_test::write_fixture("deep.bmp", imageio::build_bmp(rgba, 2, 2, 24));
  HBITMAP a = load_image(deep.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  HBITMAP b = load_image(deep.c_str(), IMAGE_BITMAP, 0, 0, kFlags);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(std::memcmp(internal::bitmap_image(a)->pixels, internal::bitmap_image(b)->pixels, 8 * 2), 0);
  EXPECT_TRUE(delete_object(a));
  EXPECT_TRUE(delete_object(b));
}

}  // namespace
