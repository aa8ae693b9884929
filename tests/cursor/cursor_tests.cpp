// Cursor and icon files: the image picked, its pixels and hot spot, and the
// refusal of malformed directories and entries.
#include "cursor_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

using imageio::put16;
using imageio::put32;

struct Image {
  int w, h;           // as the directory entry states them
  int hot_x, hot_y;   // cursors only
  Bytes dib;          // the entry's bytes
};

// A directory of the given images, stored one after another.
Bytes directory(uint16_t type, const std::vector<Image>& images) {
  Bytes b;
  put16(b, 0);
  put16(b, type);
  put16(b, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const Image& i : images) {
    b.push_back(static_cast<uint8_t>(i.w));
    b.push_back(static_cast<uint8_t>(i.h));
    b.push_back(0);
    b.push_back(0);
    put16(b, static_cast<uint32_t>(type == 2 ? i.hot_x : 1));
    put16(b, static_cast<uint32_t>(type == 2 ? i.hot_y : 32));
    put32(b, static_cast<uint32_t>(i.dib.size()));
    put32(b, offset);
    offset += static_cast<uint32_t>(i.dib.size());
  }
  for (const Image& i : images) b.insert(b.end(), i.dib.begin(), i.dib.end());
  return b;
}

// An entry image: info header of double height, colour table, colour rows and
// mask rows (both bottom-up, as given).
Bytes dib(int w, int h, uint16_t bits, const Bytes& table, const Bytes& colour, const Bytes& mask) {
  Bytes b;
  put32(b, 40);
  put32(b, static_cast<uint32_t>(w));
  put32(b, static_cast<uint32_t>(2 * h));
  put16(b, 1);
  put16(b, bits);
  for (int i = 0; i < 6; ++i) put32(b, 0);
  b.insert(b.end(), table.begin(), table.end());
  b.insert(b.end(), colour.begin(), colour.end());
  b.insert(b.end(), mask.begin(), mask.end());
  return b;
}

// A solid 24-bit entry of one colour, all opaque.
Bytes solid24(int w, int h, uint8_t red) {
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
  Bytes colour(stride * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) colour[y * stride + 3 * x + 2] = red;
  const size_t mask_stride = (static_cast<size_t>(w) + 31) / 32 * 4;
  return dib(w, h, 24, {}, colour, Bytes(mask_stride * h, 0));
}

// The entry bytes of a one-image file made by the writer.
Bytes written_entry(const std::vector<uint8_t>& rgba, int w, int h) {
  Bytes file = imageio::build_icon(rgba.data(), w, h, false);
  return Bytes(file.begin() + 22, file.end());
}

bool decode(const Bytes& file, tvxp::CursorImage* out, const char** why) {
  return tvxp::decode_cursor_file(file.data(), file.size(), out, why);
}

TEST(DecodeCursor, WrittenIconKeepsStraightAlphaTopRowFirst) {
  // Top row: opaque red, half-transparent green; bottom row: clear, blue.
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 9, 9, 9, 0, 0, 0, 255, 255};
  Bytes file = imageio::build_icon(rgba.data(), 2, 2, false);
  tvxp::CursorImage c;
  const char* why = nullptr;
  ASSERT_TRUE(decode(file, &c, &why)) << why;
  EXPECT_EQ(c.width, 2);
  EXPECT_EQ(c.height, 2);
  EXPECT_EQ(c.hot_x, 1);  // an icon's hot spot is its centre
  EXPECT_EQ(c.hot_y, 1);
  EXPECT_EQ(c.argb, (std::vector<uint32_t>{0xFFFF0000, 0x8000FF00, 0x00090909, 0xFF0000FF}));
}

TEST(DecodeCursor, CursorHotSpotFromTheEntryClampedIntoTheImage) {
  const std::vector<uint8_t> rgba(4 * 4 * 4, 255);
  struct {
    int hx, hy, want_x, want_y;
  } cases[] = {{1, 2, 1, 2}, {0, 0, 0, 0}, {9, 65535, 3, 3}};
  for (const auto& k : cases) {
    Bytes file = imageio::build_icon(rgba.data(), 4, 4, true, k.hx, k.hy);
    tvxp::CursorImage c;
    const char* why = nullptr;
    ASSERT_TRUE(decode(file, &c, &why)) << why;
    EXPECT_EQ(c.hot_x, k.want_x);
    EXPECT_EQ(c.hot_y, k.want_y);
  }
}

// Palette entries without alpha take it from the mask; a set mask bit over a
// colour (screen inversion) shows opaque black.
TEST(DecodeCursor, MonochromeMaskGivesTransparencyAndInversionAsBlack) {
  const Bytes table = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};  // black, white
  // 4 x 1: colour bits 0 1 0 1, mask bits 0 0 1 1.
  Bytes entry = dib(4, 1, 1, table, {0x50, 0, 0, 0}, {0x30, 0, 0, 0});
  tvxp::CursorImage c;
  const char* why = nullptr;
  ASSERT_TRUE(decode(directory(2, {{4, 1, 0, 0, entry}}), &c, &why)) << why;
  EXPECT_EQ(c.argb, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF, 0x00000000, 0xFF000000}));
}

// A 32-bit image whose alpha is 0 everywhere means its mask.
TEST(DecodeCursor, ThirtyTwoBitWithoutAlphaUsesTheMask) {
  Bytes entry = dib(2, 1, 32, {}, {1, 2, 3, 0, 0, 0, 0, 0}, {0x40, 0, 0, 0});
  tvxp::CursorImage c;
  const char* why = nullptr;
  ASSERT_TRUE(decode(directory(1, {{2, 1, 0, 0, entry}}), &c, &why)) << why;
  EXPECT_EQ(c.argb, (std::vector<uint32_t>{0xFF030201, 0x00000000}));
}

TEST(DecodeCursor, PicksClosestTo32ThenLargerThenDeeperAndPassesOverPng) {
  const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  struct {
    const char* name;
    std::vector<Image> images;
    int want_w;
    uint8_t want_red;
  } cases[] = {
      {"32 among 16 and 48", {{16, 16, 0, 0, solid24(16, 16, 1)}, {32, 32, 0, 0, solid24(32, 32, 2)},
                              {48, 48, 0, 0, solid24(48, 48, 3)}}, 32, 2},
      {"48 over 16 at equal distance", {{16, 16, 0, 0, solid24(16, 16, 1)}, {48, 48, 0, 0, solid24(48, 48, 3)}}, 48,
       3},
      {"deeper of two 32s",
       {{32, 32, 0, 0, solid24(32, 32, 1)},
        {32, 32, 0, 0, written_entry(std::vector<uint8_t>(32 * 32 * 4, 200), 32, 32)}},
       32, 200},
      {"first of two equal", {{8, 8, 0, 0, solid24(8, 8, 5)}, {8, 8, 0, 0, solid24(8, 8, 6)}}, 8, 5},
      {"PNG passed over", {{0, 0, 0, 0, png}, {8, 8, 0, 0, solid24(8, 8, 7)}}, 8, 7},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    tvxp::CursorImage c;
    const char* why = nullptr;
    ASSERT_TRUE(decode(directory(1, k.images), &c, &why)) << why;
    EXPECT_EQ(c.width, k.want_w);
    EXPECT_EQ((c.argb[0] >> 16) & 0xFF, k.want_red);
  }
}

struct Bad {
  const char* name;
  Bytes file;
  const char* reason;
};

Bytes patched(Bytes b, size_t at, const std::vector<uint8_t>& with) {
  EXPECT_LE(at + with.size(), b.size());
  if (at + with.size() <= b.size()) std::copy(with.begin(), with.end(), b.begin() + static_cast<ptrdiff_t>(at));
  return b;
}

TEST(DecodeCursor, MalformedFilesRefused) {
  const Bytes good = directory(1, {{2, 2, 0, 0, solid24(2, 2, 9)}});
  const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  const size_t entry = 6, dib_at = 22;
  Bytes short_mask = good;
  short_mask.pop_back();
  Bytes top_down = patched(good, dib_at + 8, {0xFC, 0xFF, 0xFF, 0xFF});  // height -4
  const std::vector<Bad> cases = {
      {"5 bytes", Bytes(good.begin(), good.begin() + 5), "directory cut short"},
      {"reserved word set", patched(good, 0, {1}), "not a cursor or icon file"},
      {"type 3", patched(good, 2, {3}), "not a cursor or icon file"},
      {"no images", patched(good, 4, {0, 0}), "no images"},
      {"huge count", patched(good, 4, {0xFF, 0xFF}), "directory cut short"},
      {"empty entry", patched(good, entry + 8, {0, 0, 0, 0}), "empty image entry"},
      {"entry size past the end", patched(good, entry + 8, {0xFF, 0xFF, 0, 0}), "image entry outside the file"},
      {"entry offset past the end", patched(good, entry + 12, {0xFF, 0xFF, 0, 0}), "image entry outside the file"},
      {"entry offset wrapping", patched(good, entry + 12, {0xFF, 0xFF, 0xFF, 0xFF}), "image entry outside the file"},
      {"entry inside the directory", patched(good, entry + 12, {2, 0, 0, 0}), "image entry inside the directory"},
      {"only PNG", directory(1, {{0, 0, 0, 0, png}}), "PNG images are not supported"},
      {"second entry bad", directory(1, {{2, 2, 0, 0, solid24(2, 2, 9)}, {2, 2, 0, 0, Bytes(8, 0)}}),
       "unsupported info header size"},
      {"planes 2", patched(good, dib_at + 12, {2}), "plane count not 1"},
      {"stored top-down", top_down, "icon image stored top-down"},
      {"one row stored", patched(good, dib_at + 8, {1}), "icon image has no rows"},
      {"run-length entry", patched(patched(good, dib_at + 14, {8}), dib_at + 16, {1}), "run-length icon image"},
      {"colour rows cut short", patched(good, entry + 8, {40 + 10, 0, 0, 0}), "pixel data cut short"},
      {"mask cut short", patched(short_mask, entry + 8, {static_cast<uint8_t>(solid24(2, 2, 9).size() - 1)}),
       "mask cut short"},
      {"wider than 256", directory(1, {{0, 1, 0, 0, solid24(257, 1, 9)}}), "image larger than 256 pixels"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.name);
    tvxp::CursorImage out;
    out.width = 5;
    out.argb = {1};
    const char* why = nullptr;
    EXPECT_FALSE(decode(c.file, &out, &why));
    ASSERT_NE(why, nullptr);
    EXPECT_STREQ(why, c.reason);
    EXPECT_EQ(out.width, 0);
    EXPECT_TRUE(out.argb.empty());
  }
}

TEST(DecodeCursor, EveryTruncationRefused) {
  const std::vector<uint8_t> rgba(3 * 3 * 4, 77);
  const Bytes file = imageio::build_icon(rgba.data(), 3, 3, true, 1, 1);
  for (size_t n = 0; n < file.size(); ++n) {
    tvxp::CursorImage c;
    const char* why = nullptr;
    EXPECT_FALSE(tvxp::decode_cursor_file(file.data(), n, &c, &why)) << n;
  }
}

TEST(ReadCursorFile, MissingFile) {
  tvxp::CursorImage c;
  const char* why = nullptr;
  EXPECT_FALSE(tvxp::read_cursor_file("/nonexistent/arrow.cur", &c, &why));
  EXPECT_NE(why, nullptr);
}

}  // namespace
