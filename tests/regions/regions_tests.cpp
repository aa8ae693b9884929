// Regions from the opaque pixels of generated images, the palettes that come
// with loaded images, and that nothing is left behind on any path.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include <tarvex/regions.h>
#include <tvxp/bitmap.h>
#include <tvxp/gdi.h>

#include "bitmap_internal.h"
#include "gdi_internal.h"
#include "image_writer.h"

namespace {

using namespace Tarvex;

struct Live {
  size_t bitmaps = tvxp::internal::live_bitmaps(), surfaces = tvxp::internal::live_surfaces(),
         palettes = tvxp::internal::live_palettes(), regions = tvxp::internal::live_regions(),
         blocks = tvxp::internal::live_global_blocks();
  void expect_same(const char* where) const {
    EXPECT_EQ(tvxp::internal::live_bitmaps(), bitmaps) << where;
    EXPECT_EQ(tvxp::internal::live_surfaces(), surfaces) << where;
    EXPECT_EQ(tvxp::internal::live_palettes(), palettes) << where;
    EXPECT_EQ(tvxp::internal::live_regions(), regions) << where;
    EXPECT_EQ(tvxp::internal::live_global_blocks(), blocks) << where;
  }
};

std::string temp_path(const std::string& name) {
  return "/tmp/regions_tests_" + std::to_string(getpid()) + "_" + name + ".bmp";
}

// Writes a picture given as 0x00RRGGBB per pixel, top row first.
std::string write_picture(const std::string& name, int w, int h, uint32_t (*colour)(int, int), int bits,
                          bool top_down) {
  std::vector<uint8_t> rgba(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
      p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c), p[3] = 255;
    }
  const std::string path = temp_path(name);
  EXPECT_TRUE(imageio::write_bmp(path, rgba.data(), w, h, bits, top_down)) << path;
  return path;
}

std::vector<tvxp::RECT> rects_of(HRGN rgn) {
  const uint32_t size = tvxp::get_region_data(rgn, 0, nullptr);
  std::vector<uint8_t> block(size);
  EXPECT_EQ(tvxp::get_region_data(rgn, size, reinterpret_cast<tvxp::RGNDATA*>(block.data())), size);
  tvxp::RGNDATAHEADER hdr;
  std::memcpy(&hdr, block.data(), sizeof hdr);
  std::vector<tvxp::RECT> out(hdr.nCount);
  if (hdr.nCount) std::memcpy(out.data(), block.data() + sizeof hdr, hdr.nCount * sizeof(tvxp::RECT));
  return out;
}

bool same_rects(const std::vector<tvxp::RECT>& a, const std::vector<tvxp::RECT>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(tvxp::RECT)) == 0);
}

// Each picture with the opacity its pixels must have, written out by hand
// rather than from the rule under test.
struct Picture {
  const char* name;
  int width, height;
  uint32_t (*colour)(int x, int y);
  uint32_t transcolor;
  uint8_t tolerance;
  const char* opaque;  // one character a pixel, top row first: '#' in the region, '.' outside; null: all '#'
  bool (*opaque_at)(int x, int y);  // instead of `opaque`, for larger pictures
};

constexpr uint32_t MAGENTA = 0xFF00FF;  // as TRANSCOLOR: red 255, green 0, blue 255
uint32_t grey(int, int) { return 0x808080; }
uint32_t magenta(int, int) { return 0xFF00FF; }
// Pixels as 0x00RRGGBB.
uint32_t magenta_neighbours(int x, int) {
  const uint32_t row[] = {0xFF00FF, 0xFF01FF, 0xFF02FF, 0xFE00FF, 0xFF00FE, 0x00FF00, 0xFF01FF};
  return row[x];
}
uint32_t exact_neighbours(int x, int) {
  const uint32_t row[] = {0xFF00FF, 0xFF01FF, 0xFE00FF, 0xFF00FF};
  return row[x];
}
// Around (250, 250, 250).
uint32_t near_250(int x, int) {
  const uint32_t row[] = {0xFAFAFA, 0xFFFFFF, 0xF9FAFA, 0xFAF9FA, 0xFAFAF9, 0xFFFAFF, 0xF0F0F0, 0x000000};
  return row[x];
}
// The colour (250, 100, 30) and its channels swapped.
uint32_t channel_order(int x, int) {
  const uint32_t row[] = {0xFA641E, 0x1E64FA, 0xFA641E};
  return row[x];
}
uint32_t alternating(int x, int) { return (x % 2) ? 0xFF00FF : 0x2040C0; }
// A block in the upper half only, not reaching the left edge.
uint32_t upper_block(int x, int y) { return (y < 3 && x >= 2 && x < 6) ? 0x123456 : 0xFF00FF; }
// 50 opaque runs a row over 90 rows: 4500 runs, a row's runs shifted by its parity.
uint32_t many_runs(int x, int y) { return ((x + y) % 2) ? 0xFF00FF : 0x00C000; }
bool many_runs_opaque(int x, int y) { return (x + y) % 2 == 0; }

const Picture PICTURES[] = {
    {"NoTransparentPixel", 7, 4, grey, MAGENTA, 1, nullptr, nullptr},
    {"AllTransparent", 5, 3, magenta, MAGENTA, 0, "..........." "....", nullptr},
    {"MagentaToleranceOne", 7, 1, magenta_neighbours, MAGENTA, 1, "..####.", nullptr},
    {"ToleranceZeroIsExact", 4, 1, exact_neighbours, MAGENTA, 0, ".##.", nullptr},
    {"Tolerance10From250", 8, 1, near_250, 0xFAFAFA, 10, "..###.##", nullptr},
    {"RedInTheLowByte", 3, 1, channel_order, 0x1E64FA, 0, ".#.", nullptr},
    {"UpperByteIgnored", 7, 1, magenta_neighbours, 0xAB000000 | MAGENTA, 1, "..####.", nullptr},
    {"Alternating", 9, 1, alternating, MAGENTA, 0, "#.#.#.#.#", nullptr},
    {"UpperHalfShape", 8, 6, upper_block, MAGENTA, 1,
     "..####.." "..####.." "..####.." "........" "........" "........", nullptr},
    {"ThreeBatches", 100, 90, many_runs, MAGENTA, 1, nullptr, many_runs_opaque},
};

bool expected_opaque(const Picture& p, int x, int y) {
  if (p.opaque_at) return p.opaque_at(x, y);
  return !p.opaque || p.opaque[y * p.width + x] == '#';
}

// The expected region as one-pixel-high runs, made in one call.
HRGN expected_region(const Picture& p, size_t* runs) {
  std::vector<tvxp::RECT> rects;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width;) {
      if (!expected_opaque(p, x, y)) {
        ++x;
        continue;
      }
      const int x0 = x;
      while (x < p.width && expected_opaque(p, x, y)) ++x;
      rects.push_back({x0, y, x, y + 1});
    }
  *runs = rects.size();
  std::vector<uint8_t> block(32 + 16 * rects.size());
  const tvxp::RGNDATAHEADER hdr{32, 1, uint32_t(rects.size()), 0, {0, 0, 0, 0}};
  std::memcpy(block.data(), &hdr, 32);
  if (!rects.empty()) std::memcpy(block.data() + 32, rects.data(), 16 * rects.size());
  return tvxp::ext_create_region(nullptr, uint32_t(block.size()), reinterpret_cast<tvxp::RGNDATA*>(block.data()));
}

struct Variant {
  int bits;
  bool top_down;
};

void check_picture(const Picture& p, Variant v) {
  SCOPED_TRACE(std::string(p.name) + " at " + std::to_string(v.bits) + " bits" + (v.top_down ? ", top-down" : ""));
  const std::string path = write_picture(p.name, p.width, p.height, p.colour, v.bits, v.top_down);
  size_t runs = 0;
  const HRGN want = expected_region(p, &runs);
  ASSERT_NE(want, 0u);
  if (p.opaque_at == many_runs_opaque) {
    EXPECT_GT(runs, 4000u) << "more than two full batches";
    EXPECT_LT(runs, 6000u) << "fewer than three full batches";
  }
  Live live;
  const HRGN got = BITMAPTOREGION(path.c_str(), p.transcolor, p.tolerance);
  ASSERT_NE(got, 0u) << "an image that loads gives a region, empty or not";
  for (int y = -1; y <= p.height; ++y)
    for (int x = -1; x <= p.width; ++x) {
      const bool inside = x >= 0 && y >= 0 && x < p.width && y < p.height;
      ASSERT_EQ(tvxp::pt_in_region(got, x, y), inside && expected_opaque(p, x, y)) << "pixel " << x << "," << y;
    }
  EXPECT_TRUE(same_rects(rects_of(got), rects_of(want)));
  EXPECT_TRUE(tvxp::delete_object(got));
  live.expect_same("after BITMAPTOREGION");
  tvxp::delete_object(want);
  std::remove(path.c_str());
}

TEST(BitmapToRegion, PicturesGiveTheRegionOfTheirOpaquePixels) {
  for (const Picture& p : PICTURES) check_picture(p, {24, false});
}

TEST(BitmapToRegion, RowsAreTakenTopDownWhateverTheFileDepthAndRowOrder) {
  const Picture& upper = PICTURES[8];
  ASSERT_STREQ(upper.name, "UpperHalfShape");
  for (Variant v : {Variant{24, true}, Variant{32, false}, Variant{32, true}, Variant{8, false}, Variant{8, true}})
    check_picture(upper, v);
  check_picture(PICTURES[2], {8, false});  // the magenta neighbours through a colour table
}

TEST(BitmapToRegion, FewerRectanglesThanOneBatchAndExactlyOneBatch) {
  // 2000 runs exactly: the batch is flushed full, then once more empty.
  static auto every_other = [](int x, int) -> uint32_t { return (x % 2) ? 0xFF00FF : 0x000000; };
  static auto every_other_opaque = [](int x, int) { return x % 2 == 0; };
  const Picture exact = {"OneFullBatch", 200, 20, every_other, MAGENTA, 0, nullptr, every_other_opaque};
  check_picture(exact, {24, false});
  const Picture one = {"OneRun", 1, 1, grey, MAGENTA, 0, nullptr, nullptr};
  check_picture(one, {24, false});
}

TEST(BitmapToRegion, NoTransparentPixelIsTheFullRectangle) {
  const std::string path = write_picture("full", 7, 4, grey, 24, false);
  const HRGN rgn = BITMAPTOREGION(path.c_str(), MAGENTA, 1);
  ASSERT_NE(rgn, 0u);
  EXPECT_TRUE(same_rects(rects_of(rgn), {{0, 0, 7, 4}}));
  tvxp::delete_object(rgn);
  std::remove(path.c_str());
}

TEST(BitmapToRegion, AllTransparentIsAnEmptyRegionNotNone) {
  const std::string path = write_picture("empty", 5, 3, magenta, 32, false);
  Live live;
  const HRGN rgn = BITMAPTOREGION(path.c_str(), MAGENTA, 0);
  ASSERT_NE(rgn, 0u);
  EXPECT_TRUE(rects_of(rgn).empty());
  tvxp::delete_object(rgn);
  live.expect_same("empty region");
  std::remove(path.c_str());
}

TEST(BitmapToRegion, FilesThatDoNotLoadGiveNoRegionAndLeaveNothing) {
  Live live;
  EXPECT_EQ(BITMAPTOREGION("/nonexistent/region.bmp", MAGENTA, 1), 0u);
  const std::string bad = temp_path("truncated");
  imageio::Bytes bytes = imageio::build_bmp(std::vector<uint8_t>(16, 0x80).data(), 2, 2, 24);
  bytes.resize(bytes.size() - 3);
  ASSERT_TRUE(imageio::write_file(bad, bytes));
  EXPECT_EQ(BITMAPTOREGION(bad.c_str(), MAGENTA, 1), 0u);
  tvxp::HPALETTE pal = 0xDEADu;
  EXPECT_EQ(LOADBMPFROMFILE(bad.c_str(), pal), 0u);
  EXPECT_EQ(pal, 0xDEADu) << "the palette is left as it was";
  live.expect_same("failed loads");
  std::remove(bad.c_str());
}

uint32_t three_colours(int x, int) {
  const uint32_t row[] = {0x102030, 0xA0B0C0, 0xFF00FF};
  return row[x % 3];
}

TEST(LoadBmpFromFile, PaletteImagesGetTheirColourTableIn256Entries) {
  const std::string path = write_picture("palette", 6, 2, three_colours, 8, false);
  Live live;
  tvxp::HPALETTE pal = 0;
  const HBITMAP bm = LOADBMPFROMFILE(path.c_str(), pal);
  ASSERT_NE(bm, 0u);
  ASSERT_NE(pal, 0u);
  const tvxp::DibImage* image = tvxp::internal::bitmap_image(bm);
  ASSERT_EQ(image->bits, 8);
  ASSERT_EQ(image->color_count, 3u);
  ASSERT_EQ(tvxp::get_palette_entries(pal, 0, 0, nullptr), 256u);
  std::vector<tvxp::PALETTEENTRY> e(256);
  ASSERT_EQ(tvxp::get_palette_entries(pal, 0, 256, e.data()), 256u);
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t c = i < 3 ? image->colors[i] : 0;
    EXPECT_EQ(e[i].peRed, uint8_t(c >> 16)) << i;
    EXPECT_EQ(e[i].peGreen, uint8_t(c >> 8)) << i;
    EXPECT_EQ(e[i].peBlue, uint8_t(c)) << i;
    EXPECT_EQ(e[i].peFlags, 0) << i;
  }
  EXPECT_TRUE(tvxp::delete_object(pal));
  EXPECT_TRUE(tvxp::delete_object(bm));
  live.expect_same("palette image");
  std::remove(path.c_str());
}

TEST(LoadBmpFromFile, DeeperImagesGetTheHalftonePalette) {
  for (int bits : {24, 32}) {
    const std::string path = write_picture("deep", 6, 2, three_colours, bits, false);
    Live live;
    tvxp::HPALETTE pal = 0;
    const HBITMAP bm = LOADBMPFROMFILE(path.c_str(), pal);
    ASSERT_NE(bm, 0u);
    ASSERT_NE(pal, 0u);
    const tvxp::HPALETTE half = tvxp::create_halftone_palette(0);
    std::vector<tvxp::PALETTEENTRY> a(256), b(256);
    ASSERT_EQ(tvxp::get_palette_entries(pal, 0, 256, a.data()), 256u);
    ASSERT_EQ(tvxp::get_palette_entries(half, 0, 256, b.data()), 256u);
    EXPECT_EQ(std::memcmp(a.data(), b.data(), 256 * sizeof(tvxp::PALETTEENTRY)), 0) << bits;
    tvxp::BITMAP info{};
    ASSERT_NE(tvxp::get_object(bm, sizeof info, &info), 0);
    EXPECT_EQ(info.bmBitsPixel, bits) << "kept at its own depth";
    EXPECT_EQ(info.bmWidth, 6);
    for (tvxp::Handle h : {half, pal, bm}) tvxp::delete_object(h);
    live.expect_same("deep image");
    std::remove(path.c_str());
  }
}

TEST(ReleaseImageSurface, ReleasesTheSurfaceItsImageAndItsPalette) {
  const std::string path = write_picture("surface", 6, 2, three_colours, 8, true);
  Live live;
  tvxp::HPALETTE pal = 0;
  const HBITMAP bm = LOADBMPFROMFILE(path.c_str(), pal);
  ASSERT_NE(bm, 0u);
  const tvxp::HDC surface = tvxp::create_compatible_dc(0);
  tvxp::select_object(surface, bm);
  tvxp::select_palette(surface, pal, false);
  tvxp::realize_palette(surface);
  RELEASEIMAGESURFACE(surface);
  EXPECT_FALSE(tvxp::delete_dc(surface));
  EXPECT_FALSE(tvxp::delete_object(bm));
  EXPECT_FALSE(tvxp::delete_object(pal));
  // A surface that never received an image.
  RELEASEIMAGESURFACE(tvxp::create_compatible_dc(0));
  live.expect_same("image surfaces");
  std::remove(path.c_str());
}

}  // namespace
