// Regions, sections, block copies between memory surfaces, palettes and
// movable blocks. None of these needs a display.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include <tvxp/bitmap.h>
#include <tvxp/gdi.h>

#include "bitmap_internal.h"
#include "gdi_internal.h"
#include "image_writer.h"

namespace {

using namespace tvxp;

// An RGNDATA block holding `rects`, with room for `room` of them.
std::vector<uint8_t> region_data(const std::vector<RECT>& rects, size_t room = 0) {
  if (room < rects.size()) room = rects.size();
  std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + room * sizeof(RECT));
  RGNDATAHEADER hdr{32, RDH_RECTANGLES, static_cast<uint32_t>(rects.size()), 0, {0, 0, 0, 0}};
  std::memcpy(block.data(), &hdr, sizeof hdr);
  if (!rects.empty()) std::memcpy(block.data() + sizeof hdr, rects.data(), rects.size() * sizeof(RECT));
  return block;
}

HRGN make_region(const std::vector<RECT>& rects) {
  std::vector<uint8_t> block = region_data(rects);
  return ext_create_region(nullptr, static_cast<uint32_t>(block.size()), reinterpret_cast<RGNDATA*>(block.data()));
}

// The region's banded rectangles.
std::vector<RECT> rects_of(HRGN rgn) {
  const uint32_t size = get_region_data(rgn, 0, nullptr);
  EXPECT_GE(size, sizeof(RGNDATAHEADER));
  std::vector<uint8_t> block(size);
  EXPECT_EQ(get_region_data(rgn, size, reinterpret_cast<RGNDATA*>(block.data())), size);
  RGNDATAHEADER hdr;
  std::memcpy(&hdr, block.data(), sizeof hdr);
  EXPECT_EQ(hdr.dwSize, 32u);
  EXPECT_EQ(hdr.iType, RDH_RECTANGLES);
  std::vector<RECT> out(hdr.nCount);
  if (hdr.nCount) std::memcpy(out.data(), block.data() + sizeof hdr, hdr.nCount * sizeof(RECT));
  return out;
}

bool same_rects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RECT)) == 0);
}

// Live objects of every kind, so that a test can tell it left nothing behind.
struct Live {
  size_t bitmaps = internal::live_bitmaps(), surfaces = internal::live_surfaces(),
         palettes = internal::live_palettes(), regions = internal::live_regions(),
         blocks = internal::live_global_blocks();
  void expect_same() const {
    EXPECT_EQ(internal::live_bitmaps(), bitmaps);
    EXPECT_EQ(internal::live_surfaces(), surfaces);
    EXPECT_EQ(internal::live_palettes(), palettes);
    EXPECT_EQ(internal::live_regions(), regions);
    EXPECT_EQ(internal::live_global_blocks(), blocks);
  }
};

TEST(Regions, OrOfOverlappingRectanglesIsTheirUnion) {
  Live live;
  HRGN a = create_rect_rgn(0, 0, 10, 10);
  HRGN b = create_rect_rgn(20, 15, 5, 5);  // corners in either order
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(combine_rgn(a, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(same_rects(rects_of(a), {{0, 0, 10, 5}, {0, 5, 20, 10}, {5, 10, 20, 15}}));
  EXPECT_TRUE(pt_in_region(a, 0, 0));
  EXPECT_TRUE(pt_in_region(a, 19, 14));
  EXPECT_FALSE(pt_in_region(a, 20, 14)) << "right edge is exclusive";
  EXPECT_FALSE(pt_in_region(a, 12, 2));
  EXPECT_FALSE(pt_in_region(a, 2, 12));

  HRGN c = create_rect_rgn(0, 0, 10, 10);
  EXPECT_EQ(combine_rgn(c, c, b, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(same_rects(rects_of(c), {{5, 5, 10, 10}}));
  EXPECT_EQ(combine_rgn(c, a, 0, RGN_OR), RGN_ERROR);
  EXPECT_EQ(combine_rgn(c, a, b, 99), RGN_ERROR);

  // Unsorted, overlapping rectangles in one block give the same union.
  HRGN d = make_region({{5, 5, 20, 15}, {0, 0, 10, 10}, {2, 2, 3, 3}});
  ASSERT_NE(d, 0u);
  EXPECT_TRUE(same_rects(rects_of(d), rects_of(a)));
  for (HRGN h : {a, b, c, d}) EXPECT_TRUE(delete_object(h));
  EXPECT_FALSE(delete_object(a)) << "released once";
  EXPECT_FALSE(pt_in_region(a, 1, 1));
  live.expect_same();
}

TEST(Regions, BatchesOredTogetherEqualOneRegionOfAllRectangles) {
  Live live;
  std::vector<RECT> all;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 90; x += 3) all.push_back({x, y, x + 1 + (y % 2), y + 1});
  HRGN whole = make_region(all);
  ASSERT_NE(whole, 0u);
  HRGN acc = 0;
  for (size_t start = 0; start < all.size(); start += 700) {
    std::vector<RECT> part(all.begin() + long(start), all.begin() + long(std::min(all.size(), start + 700)));
    // Handed over with spare room, as a growing buffer is.
    std::vector<uint8_t> block = region_data(part, part.size() + 37);
    HRGN h = ext_create_region(nullptr, uint32_t(block.size()), reinterpret_cast<RGNDATA*>(block.data()));
    ASSERT_NE(h, 0u);
    if (!acc) {
      acc = h;
    } else {
      EXPECT_NE(combine_rgn(acc, acc, h, RGN_OR), RGN_ERROR);
      delete_object(h);
    }
  }
  EXPECT_TRUE(same_rects(rects_of(acc), rects_of(whole)));
  delete_object(acc);
  delete_object(whole);
  live.expect_same();
}

TEST(Regions, EmptyDataGivesAnEmptyRegionAndEmptyRectanglesAreSkipped) {
  Live live;
  HRGN empty = make_region({});
  ASSERT_NE(empty, 0u) << "an empty region is a region";
  EXPECT_EQ(get_region_data(empty, 0, nullptr), 32u);
  EXPECT_TRUE(rects_of(empty).empty());
  EXPECT_FALSE(pt_in_region(empty, 0, 0));
  HRGN skipped = make_region({{5, 5, 5, 9}, {4, 4, 9, 4}, {9, 9, 3, 3}, {1, 1, 2, 2}});
  ASSERT_NE(skipped, 0u);
  EXPECT_TRUE(same_rects(rects_of(skipped), {{1, 1, 2, 2}}));
  HRGN flat = create_rect_rgn(3, 3, 3, 8);
  ASSERT_NE(flat, 0u);
  EXPECT_TRUE(rects_of(flat).empty());
  EXPECT_EQ(combine_rgn(flat, flat, empty, RGN_OR), NULLREGION);
  // Data that does not fit the size given is not written.
  std::vector<uint8_t> small(40);
  EXPECT_EQ(get_region_data(skipped, 40, reinterpret_cast<RGNDATA*>(small.data())), 0u);
  for (HRGN h : {empty, skipped, flat}) delete_object(h);
  live.expect_same();
}

TEST(Regions, MalformedRegionDataIsRefused) {
  Live live;
  const std::vector<RECT> two = {{0, 0, 4, 4}, {8, 8, 9, 9}};
  struct Case {
    const char* what;
    uint32_t dw_size, type, count;
    int64_t size_delta;  // against 32 + 16 * 2
    bool transform;
  };
  const Case cases[] = {
      {"header size 31", 31, 1, 2, 0, false},     {"header size 40", 40, 1, 2, 0, false},
      {"type 2", 32, 2, 2, 0, false},             {"size one byte short", 32, 1, 2, -1, false},
      {"count beyond the data", 32, 1, 3, 0, false}, {"count that wraps 32 bits", 32, 1, 0x10000000u, 0, false},
      {"size below the header", 32, 1, 0, -33, false}, {"a transformation", 32, 1, 2, 0, true},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> block = region_data(two);
    RGNDATAHEADER hdr;
    std::memcpy(&hdr, block.data(), sizeof hdr);
    hdr.dwSize = c.dw_size;
    hdr.iType = c.type;
    hdr.nCount = c.count;
    std::memcpy(block.data(), &hdr, sizeof hdr);
    const float xform[6] = {1, 0, 0, 1, 0, 0};
    EXPECT_EQ(ext_create_region(c.transform ? xform : nullptr, uint32_t(int64_t(block.size()) + c.size_delta),
                                reinterpret_cast<RGNDATA*>(block.data())),
              0u)
        << c.what;
  }
  EXPECT_EQ(ext_create_region(nullptr, 64, nullptr), 0u);
  live.expect_same();
}

// Fixtures: a 5 x 3 picture of distinct colours, written in several depths
// and row orders.
const int W = 5, H = 3;
uint32_t colour_at(int x, int y) { return uint32_t(40 * x + 10) << 16 | uint32_t(70 * y + 20) << 8 | uint32_t(x * 13 + y * 31); }

std::string fixture(int bits, bool top_down) {
  std::vector<uint8_t> rgba(W * H * 4);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint32_t c = colour_at(x, y);
      uint8_t* p = &rgba[(y * W + x) * 4];
      p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c), p[3] = 255;
    }
  char name[128];
  std::snprintf(name, sizeof name, "/tmp/platform_gdi_%d_%d_%d.bmp", int(getpid()), bits, int(top_down));
  EXPECT_TRUE(imageio::write_bmp(name, rgba.data(), W, H, bits, top_down));
  return name;
}

HBITMAP section32(int w, int h, void** bits) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = {40, w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  return create_dib_section(0, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Pixel (x, y from the top) of a bottom-up 32-bit section, as 0x00RRGGBB.
uint32_t pixel32(const void* bits, int w, int h, int x, int y) {
  uint32_t v;
  std::memcpy(&v, static_cast<const uint8_t*>(bits) + size_t(h - 1 - y) * w * 4 + size_t(x) * 4, 4);
  return v & 0xFFFFFFu;
}

TEST(Sections, ASectionIsABitmapWithItsPixelsAndStride) {
  Live live;
  void* bits = reinterpret_cast<void*>(1);
  BITMAPINFO bmi{};
  bmi.bmiHeader = {40, 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP bm = create_dib_section(0, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bm, 0u);
  BITMAP info{};
  ASSERT_EQ(get_object(bm, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(info.bmBitsPixel, 24);
  EXPECT_EQ(info.bmWidthBytes, 12) << "9 bytes rounded up to 4";
  EXPECT_EQ(info.bmBits, bits);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(bits), static_cast<uint8_t*>(bits) + 24),
            std::vector<uint8_t>(24, 0));
  EXPECT_TRUE(delete_object(bm));

  struct Bad {
    const char* what;
    BITMAPINFOHEADER hdr;
    UINT usage;
  } bad[] = {
      {"width 0", {40, 0, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"height 0", {40, 2, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"most negative height", {40, 2, INT32_MIN, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"two planes", {40, 2, 2, 2, 32, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"12 bits", {40, 2, 2, 1, 12, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"compressed", {40, 2, 2, 1, 32, 3, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"header 12 bytes", {12, 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"too large", {40, 65536, 65536, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS},
      {"palette indices", {40, 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, 1},
  };
  for (const Bad& b : bad) {
    bmi.bmiHeader = b.hdr;
    bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(create_dib_section(0, &bmi, b.usage, &bits, nullptr, 0), 0u) << b.what;
    EXPECT_EQ(bits, nullptr) << b.what;
  }
  live.expect_same();
}

struct BlitCase {
  int bits;
  bool top_down;
};
class BlitFromFile : public ::testing::TestWithParam<BlitCase> {};

TEST_P(BlitFromFile, LoadedBitmapCopiesIntoA32BitSectionTheRightWayUp) {
  const BlitCase c = GetParam();
  const std::string path = fixture(c.bits, c.top_down);
  Live live;
  HBITMAP loaded = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  ASSERT_NE(loaded, 0u);
  HDC src = create_compatible_dc(0), dst = create_compatible_dc(0);
  ASSERT_NE(src, 0u);
  ASSERT_NE(dst, 0u);
  const HGDIOBJ stock = select_object(src, loaded);
  EXPECT_NE(stock, 0u) << "a surface starts with a bitmap of its own";
  void* bits = nullptr;
  HBITMAP work = section32(W, H, &bits);
  ASSERT_NE(work, 0u);
  const HGDIOBJ stock2 = select_object(dst, work);
  ASSERT_TRUE(bit_blt(dst, 0, 0, W, H, src, 0, 0, SRCCOPY));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) EXPECT_EQ(pixel32(bits, W, H, x, y), colour_at(x, y)) << x << "," << y;

  // An offset copy is clipped to both surfaces and leaves the rest alone.
  std::memset(bits, 0, size_t(W) * H * 4);
  ASSERT_TRUE(bit_blt(dst, 3, 1, 10, 10, src, 0, 0, SRCCOPY));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      EXPECT_EQ(pixel32(bits, W, H, x, y), (x >= 3 && y >= 1) ? colour_at(x - 3, y - 1) : 0u) << x << "," << y;

  EXPECT_EQ(select_object(dst, stock2), work);
  EXPECT_EQ(select_object(src, stock), loaded);
  EXPECT_TRUE(delete_dc(src));
  EXPECT_TRUE(delete_dc(dst));
  EXPECT_FALSE(delete_dc(dst));
  EXPECT_TRUE(delete_object(work));
  EXPECT_TRUE(delete_object(loaded));
  live.expect_same();
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Depths, BlitFromFile,
                         ::testing::Values(BlitCase{8, false}, BlitCase{8, true}, BlitCase{24, false},
                                           BlitCase{24, true}, BlitCase{32, false}, BlitCase{32, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.bits) + (info.param.top_down ? "TopDown" : "BottomUp");
                         });

TEST(Surfaces, ABitmapIsSelectedIntoOneSurfaceAtATime) {
  Live live;
  HDC a = create_compatible_dc(0), b = create_compatible_dc(0);
  void* bits = nullptr;
  HBITMAP bm = section32(2, 2, &bits);
  const HGDIOBJ stock = select_object(a, bm);
  ASSERT_NE(stock, 0u);
  EXPECT_EQ(get_current_object(a, OBJ_BITMAP), bm);
  EXPECT_EQ(select_object(b, bm), 0u);
  EXPECT_EQ(get_current_object(b, OBJ_BITMAP), stock);
  EXPECT_FALSE(delete_object(stock)) << "the stock bitmap stays";
  BITMAP info{};
  EXPECT_EQ(get_object(stock, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(select_object(a, 0x12345678u), 0u) << "not a bitmap";
  EXPECT_EQ(bit_blt(a, 0, 0, 1, 1, b, 0, 0, 0x00EE0086), false) << "only SRCCOPY";
  delete_dc(a);
  delete_dc(b);
  delete_object(bm);
  live.expect_same();
}

TEST(Surfaces, ColourTableOfTheSelectedBitmap) {
  const std::string path = fixture(8, false);
  Live live;
  HBITMAP loaded = load_image(path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  ASSERT_NE(loaded, 0u);
  const uint32_t table_length = internal::bitmap_image(loaded)->color_count;
  ASSERT_EQ(table_length, uint32_t(W * H)) << "the writer keeps the distinct colours";
  HDC dc = create_compatible_dc(0);
  RGBQUAD none[4];
  EXPECT_EQ(get_dib_color_table(dc, 0, 4, none), 2u) << "the stock bitmap is monochrome";
  select_object(dc, loaded);
  std::vector<RGBQUAD> table(256);
  ASSERT_EQ(get_dib_color_table(dc, 0, 256, table.data()), table_length) << "nothing beyond the table";
  for (uint32_t i = 0; i < table_length; ++i) {
    const uint32_t c = internal::bitmap_image(loaded)->colors[i];
    EXPECT_EQ(table[i].rgbRed, uint8_t(c >> 16));
    EXPECT_EQ(table[i].rgbGreen, uint8_t(c >> 8));
    EXPECT_EQ(table[i].rgbBlue, uint8_t(c));
  }
  EXPECT_EQ(get_dib_color_table(dc, 10, 256, table.data()), table_length - 10);
  EXPECT_EQ(get_dib_color_table(dc, table_length, 4, table.data()), 0u);
  void* bits = nullptr;
  HBITMAP deep = section32(1, 1, &bits);
  select_object(dc, deep);
  EXPECT_EQ(get_dib_color_table(dc, 0, 256, table.data()), 0u) << "32-bit images have no table";
  delete_dc(dc);
  delete_object(deep);
  delete_object(loaded);
  live.expect_same();
  std::remove(path.c_str());
}

TEST(Palettes, HalftoneLogicalAndSelection) {
  Live live;
  HPALETTE half = create_halftone_palette(0);
  ASSERT_NE(half, 0u);
  EXPECT_EQ(get_palette_entries(half, 0, 0, nullptr), 256u);
  std::vector<PALETTEENTRY> e(256);
  ASSERT_EQ(get_palette_entries(half, 0, 256, e.data()), 256u);
  // Black, white and pure red are all there.
  auto has = [&](int r, int g, int b) {
    for (const PALETTEENTRY& p : e)
      if (p.peRed == r && p.peGreen == g && p.peBlue == b) return true;
    return false;
  };
  EXPECT_TRUE(has(0, 0, 0));
  EXPECT_TRUE(has(255, 255, 255));
  EXPECT_TRUE(has(255, 0, 0));
  uint16_t count = 0;
  EXPECT_EQ(get_object(half, sizeof count, &count), 2);
  EXPECT_EQ(count, 256);

  alignas(LOGPALETTE) uint8_t buf[sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY)] = {};
  LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(buf);
  lp->palVersion = 0x300;
  lp->palNumEntries = 3;
  const PALETTEENTRY three[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
  std::memcpy(buf + offsetof(LOGPALETTE, palPalEntry), three, sizeof three);
  HPALETTE pal = create_palette(lp);
  ASSERT_NE(pal, 0u);
  PALETTEENTRY got[8] = {};
  EXPECT_EQ(get_palette_entries(pal, 1, 8, got), 2u);
  EXPECT_EQ(got[0].peRed, 4);
  EXPECT_EQ(got[1].peBlue, 9);
  EXPECT_EQ(get_palette_entries(pal, 3, 1, got), 0u);
  lp->palVersion = 0x200;
  EXPECT_EQ(create_palette(lp), 0u);
  lp->palVersion = 0x300;
  lp->palNumEntries = 0;
  EXPECT_EQ(create_palette(lp), 0u);

  HDC dc = create_compatible_dc(0);
  const HPALETTE stock = select_palette(dc, pal, true);
  ASSERT_NE(stock, 0u) << "a surface starts with the default palette";
  EXPECT_EQ(realize_palette(dc), 3u);
  EXPECT_EQ(get_current_object(dc, OBJ_PAL), pal);
  EXPECT_EQ(select_palette(dc, half, false), pal);
  EXPECT_EQ(select_palette(dc, stock, false), half);
  EXPECT_EQ(select_palette(dc, 0x0BADu, false), 0u);
  EXPECT_EQ(select_palette(0x0BADu, half, false), 0u);
  EXPECT_FALSE(delete_object(stock));
  select_palette(dc, pal, false);
  EXPECT_TRUE(delete_object(pal));
  EXPECT_EQ(get_current_object(dc, OBJ_PAL), stock) << "a released palette is no longer held";
  EXPECT_TRUE(delete_object(half));
  delete_dc(dc);
  live.expect_same();
}

TEST(GlobalMemory, MovableBlocksLockGrowAndFree) {
  Live live;
  HGLOBAL h = global_alloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
  ASSERT_NE(h, 0u);
  uint8_t* p = static_cast<uint8_t*>(global_lock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(p, p + 8), std::vector<uint8_t>(8, 0));
  std::memcpy(p, "rayheigh", 8);
  EXPECT_EQ(global_lock(h), p) << "a second lock gives the same address";
  EXPECT_TRUE(global_unlock(h)) << "still locked once";
  EXPECT_EQ(global_realloc(h, 4096, 0), 0u) << "a locked block does not move unless allowed";
  EXPECT_FALSE(global_unlock(h));
  EXPECT_FALSE(global_unlock(h)) << "not locked any more";
  EXPECT_EQ(global_realloc(h, 100000, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
  p = static_cast<uint8_t*>(global_lock(h));
  EXPECT_EQ(std::memcmp(p, "rayheigh", 8), 0) << "contents kept";
  EXPECT_EQ(p[99999], 0) << "the grown part is zeroed";
  global_unlock(h);
  EXPECT_EQ(global_free(h), 0u);
  EXPECT_EQ(global_free(h), h) << "released once";
  EXPECT_EQ(global_lock(h), nullptr);
  live.expect_same();
}

}  // namespace
