// Texture slots on a real GL context: what each load leaves in the texture,
// in the bitmap's memory and in GL state, read back with glGet*.
#include <tarvex/texture.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <tarvex/tga.h>
#include <tvxp/bitmap.h>

#include "bitmap_internal.h"
#include "gl_context_fixture.h"
#include "image_writer.h"
#include "test_support.h"

namespace {

using namespace Tarvex;
using Bytes = std::vector<uint8_t>;


// RGBA, top row first; every pixel distinct and red never equal to blue.
std::vector<uint8_t> picture(int w, int h) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      rgba.push_back(static_cast<uint8_t>(0x10 + 16 * y + x));
      rgba.push_back(static_cast<uint8_t>(0x60 + 8 * y + x));
      rgba.push_back(static_cast<uint8_t>(0xC0 + 8 * y + x));
      rgba.push_back(static_cast<uint8_t>(0x30 + 16 * y + x));
    }
  return rgba;
}

// The picture's pixels as n-byte R, G, B (, A) values, in the stored order of
// a bottom-up file (bottom row first), without padding.
Bytes bottom_up(const std::vector<uint8_t>& rgba, int w, int h, int n) {
  Bytes out;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < n; ++k) out.push_back(rgba[(y * w + x) * 4 + k]);
  return out;
}

GLint geti(GLenum what) {
  GLint v = -1;
  glGetIntegerv(what, &v);
  return v;
}

GLint level_param(int level, GLenum what) {
  GLint v = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &v);
  return v;
}

GLint tex_param(GLenum what) {
  GLint v = -1;
  glGetTexParameteriv(GL_TEXTURE_2D, what, &v);
  return v;
}

// The bound texture's base level as `format` bytes, rows packed.
Bytes read_back(GLenum format, int n) {
  const int w = level_param(0, GL_TEXTURE_WIDTH), h = level_param(0, GL_TEXTURE_HEIGHT);
  Bytes out(static_cast<size_t>(w) * h * n);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
  return out;
}

class Textures : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    ASSERT_TRUE(tvx_test::ensure_gl_context());
    tvx_test::record_boxes(tvxp::IDOK);
    GL_MIN_FILTER = GL_LINEAR;
    GL_MAG_FILTER = GL_LINEAR;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
  }
  void TearDown() override {
    tvx_test::stop_recording_boxes();
    tvxp::internal::bitmap_delete_hook = nullptr;
    GL_MIN_FILTER = GL_LINEAR;
    GL_MAG_FILTER = GL_LINEAR;
  }
};

// What a 24-bit bitmap held when the loader released it.
Bytes g_released;
void keep_released(tvxp::HBITMAP, const tvxp::DibImage& image) {
  g_released.assign(image.pixels, image.pixels + size_t{image.stride} * image.height);
}

TEST_F(Textures, Bmp24SwapsEveryPixelRowByRowAndLeavesThePadding) {
  // 6 pixels of 3 bytes: rows of 18 bytes padded to 20. The padding bytes
  // get values of their own so that a touched one shows.
  const int w = 6, h = 2, stride = 20;
  const std::vector<uint8_t> rgba = picture(w, h);
  Bytes file = imageio::build_bmp(rgba.data(), w, h, 24);
  ASSERT_EQ(file.size(), 54u + stride * h);
  for (int r = 0; r < h; ++r) {
    file[54 + r * stride + 18] = static_cast<uint8_t>(0xA0 + r);
    file[54 + r * stride + 19] = static_cast<uint8_t>(0xB0 + r);
  }
  const std::string path = tvx_test::write_fixture("wall24.bmp", file);
  const size_t live = tvxp::internal::live_bitmaps();
  g_released.clear();
  tvxp::internal::bitmap_delete_hook = keep_released;

  TEXTURELOADID(path.c_str(), 3);

  // The bitmap's own memory: R, G, B in every pixel, padding as stored.
  ASSERT_EQ(g_released.size(), size_t{stride} * h) << "the bitmap is released after the upload";
  const Bytes want = bottom_up(rgba, w, h, 3);
  for (int r = 0; r < h; ++r) {
    EXPECT_EQ(Bytes(g_released.begin() + r * stride, g_released.begin() + r * stride + 18),
              Bytes(want.begin() + r * 18, want.begin() + (r + 1) * 18))
        << "row " << r;
    EXPECT_EQ(g_released[r * stride + 18], 0xA0 + r);
    EXPECT_EQ(g_released[r * stride + 19], 0xB0 + r);
  }
  EXPECT_EQ(tvxp::internal::live_bitmaps(), live) << "no bitmap stays behind";

  // The texture: bound in the slot, the bottom row first, no skew.
  ASSERT_NE(TEXTUREID2[3], 0u);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TEXTUREID2[3]));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), w);
  EXPECT_EQ(level_param(0, GL_TEXTURE_HEIGHT), h);
  EXPECT_EQ(read_back(GL_RGB, 3), want);
  EXPECT_TRUE(tvx_test::boxes().empty());
}

TEST_F(Textures, Bmp32GoesUpAsBgraWithoutSwapping) {
  const int w = 3, h = 2;
  const std::vector<uint8_t> rgba = picture(w, h);
  const std::string path = tvx_test::write_fixture("stone32.bmp", imageio::build_bmp(rgba.data(), w, h, 32));
  TEXTURELOADID(path.c_str(), 4);
  ASSERT_NE(TEXTUREID2[4], 0u);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TEXTUREID2[4]));
  EXPECT_EQ(level_param(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  EXPECT_EQ(read_back(GL_RGBA, 4), bottom_up(rgba, w, h, 4));
}

TEST_F(Textures, Bmp24TopDownKeepsItsStoredOrder) {
  const int w = 2, h = 3;
  const std::vector<uint8_t> rgba = picture(w, h);
  const std::string path = tvx_test::write_fixture("topdown.bmp", imageio::build_bmp(rgba.data(), w, h, 24, true));
  TEXTURELOADID(path.c_str(), 5);
  Bytes want;
  for (size_t i = 0; i < rgba.size(); i += 4) want.insert(want.end(), &rgba[i], &rgba[i] + 3);
  EXPECT_EQ(read_back(GL_RGB, 3), want) << "the first stored row is the top row here";
}

TEST_F(Textures, UnusableBmpFilesGiveABoundNameWithoutAnImage) {
  const std::vector<uint8_t> rgba = picture(2, 2);
  Bytes good = imageio::build_bmp(rgba.data(), 2, 2, 24);
  Bytes not_bm = good;
  not_bm[0] = 'P';
  Bytes core = good;  // the old 12-byte header
  core[14] = 12;
  Bytes pixels_cut(good.begin(), good.end() - 4);
  Bytes headers_cut(good.begin(), good.begin() + 30);
  struct Case {
    const char* what;
    std::string path;
  } cases[] = {
      {"8 bits per pixel", tvx_test::write_fixture("pal8.bmp", imageio::build_bmp(rgba.data(), 2, 2, 8))},
      {"missing", tvx_test::scratch_dir() + "/none.bmp"},
      {"not BM", tvx_test::write_fixture("notbm.bmp", not_bm)},
      {"core header", tvx_test::write_fixture("core.bmp", core)},
      {"pixels cut short", tvx_test::write_fixture("pixcut.bmp", pixels_cut)},
      {"headers cut short", tvx_test::write_fixture("hdrcut.bmp", headers_cut)},
      {"empty", tvx_test::write_fixture("empty.bmp", {})},
      {"a directory", tvx_test::scratch_dir()},
  };
  const size_t live = tvxp::internal::live_bitmaps();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    const uint32_t before = TEXTUREID2[6];
    TEXTURELOADID(c.path.c_str(), 6);
    EXPECT_NE(TEXTUREID2[6], 0u);
    EXPECT_NE(TEXTUREID2[6], before) << "a fresh name";
    EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TEXTUREID2[6]));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), 0) << "no image";
    EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_S), GL_REPEAT);
  }
  EXPECT_EQ(tvxp::internal::live_bitmaps(), live);
  EXPECT_TRUE(tvx_test::boxes().empty()) << "BMP loads report nothing";
}

TEST_F(Textures, GetBmpDepthReadsTheInfoHeader) {
  const std::vector<uint8_t> rgba = picture(1, 1);
  Bytes v4 = imageio::build_bmp(rgba.data(), 1, 1, 32);
  v4[14] = 108;  // a longer header is read as its first 40 bytes
  Bytes core = imageio::build_bmp(rgba.data(), 1, 1, 24);
  core[14] = 12;
  EXPECT_EQ(GETBMPDEPTH(tvx_test::write_fixture("d24.bmp", imageio::build_bmp(rgba.data(), 1, 1, 24)).c_str()), 24);
  EXPECT_EQ(GETBMPDEPTH(tvx_test::write_fixture("d32.bmp", imageio::build_bmp(rgba.data(), 1, 1, 32)).c_str()), 32);
  EXPECT_EQ(GETBMPDEPTH(tvx_test::write_fixture("d8.bmp", imageio::build_bmp(rgba.data(), 1, 1, 8)).c_str()), 8);
  EXPECT_EQ(GETBMPDEPTH(tvx_test::write_fixture("dv4.bmp", v4).c_str()), 32);
  EXPECT_EQ(GETBMPDEPTH(tvx_test::write_fixture("dcore.bmp", core).c_str()), 0);
  EXPECT_EQ(GETBMPDEPTH(tvx_test::write_fixture("dshort.bmp", Bytes{'B', 'M', 0, 0}).c_str()), 0);
  EXPECT_EQ(GETBMPDEPTH((tvx_test::scratch_dir() + "/none.bmp").c_str()), 0);
  EXPECT_EQ(GETBMPDEPTH(nullptr), 0);
}

TEST_F(Textures, SwapRgbExchangesBytesZeroAndTwoOfEachPixel) {
  uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  SWAPRGB(data, 3);
  const uint8_t want[] = {3, 2, 1, 6, 5, 4, 9, 8, 7, 10};
  EXPECT_EQ(std::memcmp(data, want, sizeof data), 0);
}

TEST_F(Textures, ReloadingASlotGivesASecondNameAndKeepsTheFirst) {
  const std::vector<uint8_t> rgba = picture(2, 2);
  const std::string path = tvx_test::write_fixture("twice.bmp", imageio::build_bmp(rgba.data(), 2, 2, 24));
  TEXTURELOADID(path.c_str(), 8);
  const uint32_t first = TEXTUREID2[8];
  TEXTURELOADID(path.c_str(), 8);
  EXPECT_NE(TEXTUREID2[8], first);
  EXPECT_TRUE(glIsTexture(first));
  EXPECT_TRUE(glIsTexture(TEXTUREID2[8]));

  const std::string tga = tvx_test::write_fixture("twice.tga", imageio::build_tga(rgba.data(), 2, 2, 32, false));
  TEXTURELOADTGAID(tga.c_str(), 8);
  const uint32_t tga_first = TEXTURETGA2[8].TEXID;
  TEXTURELOADTGAID(tga.c_str(), 8);
  EXPECT_NE(TEXTURETGA2[8].TEXID, tga_first);
  EXPECT_TRUE(glIsTexture(tga_first));
  EXPECT_NE(TEXTURETGA2[8].TEXID, TEXTUREID2[8]) << "the tables are independent";
}

TEST_F(Textures, LastSlotsAreValidAndNumbersBeyondDoNothing) {
  const std::vector<uint8_t> rgba = picture(2, 2);
  const std::string bmp = tvx_test::write_fixture("last.bmp", imageio::build_bmp(rgba.data(), 2, 2, 24));
  const std::string tga = tvx_test::write_fixture("last.tga", imageio::build_tga(rgba.data(), 2, 2, 24, false));
  TEXTURELOADID(bmp.c_str(), 500);
  TEXTURELOADTGAID(tga.c_str(), 200);
  ASSERT_NE(TEXTUREID2[500], 0u);
  ASSERT_NE(TEXTURETGA2[200].TEXID, 0u);
  TEXTURESELECTID(500);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TEXTUREID2[500]));
  TEXTURETGASELECTID(200);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TEXTURETGA2[200].TEXID));

  glDisable(GL_TEXTURE_2D);
  TEXTURELOADID(bmp.c_str(), 501);
  TEXTURELOADID(bmp.c_str(), -1);
  TEXTURELOADTGAID(tga.c_str(), 201);
  TEXTURESELECTID(501);
  TEXTURETGASELECTID(-1);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TEXTURETGA2[200].TEXID));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Textures, SelectingANeverLoadedSlotBindsZero) {
  const std::vector<uint8_t> rgba = picture(2, 2);
  TEXTURELOADID(tvx_test::write_fixture("sel.bmp", imageio::build_bmp(rgba.data(), 2, 2, 24)).c_str(), 9);
  ASSERT_NE(geti(GL_TEXTURE_BINDING_2D), 0);
  TEXTURESELECTID(499);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), 0);
  TEXTURESELECTID(9);
  ASSERT_NE(geti(GL_TEXTURE_BINDING_2D), 0);
  TEXTURETGASELECTID(199);
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), 0);
}

TEST_F(Textures, OnAndOffSwitchTexturing) {
  TEXTUREON();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  TEXTUREOFF();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Textures, BmpLoadSetsTheUnpackState) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 2);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 3);
  const std::vector<uint8_t> rgba = picture(3, 2);
  TEXTURELOADID(tvx_test::write_fixture("unpack.bmp", imageio::build_bmp(rgba.data(), 3, 2, 24)).c_str(), 10);
  EXPECT_EQ(geti(GL_UNPACK_ALIGNMENT), 4);
  EXPECT_EQ(geti(GL_UNPACK_ROW_LENGTH), 0);
  EXPECT_EQ(geti(GL_UNPACK_SKIP_ROWS), 0);
  EXPECT_EQ(geti(GL_UNPACK_SKIP_PIXELS), 0);
  EXPECT_EQ(read_back(GL_RGB, 3), bottom_up(rgba, 3, 2, 3)) << "uploaded under the new state";
}

TEST_F(Textures, RefusedTgaShowsTheReadersMessageAndChangesNoGlState) {
  const std::vector<uint8_t> rgba = picture(2, 2);
  Bytes good = imageio::build_tga(rgba.data(), 2, 2, 24, false);
  Bytes grey = good;
  grey[2] = 3;
  Bytes deep16 = good;
  deep16[16] = 16;
  Bytes cut(good.begin(), good.end() - 1);
  struct Case {
    const char* what;
    std::string path;
    const char* message;
    const char* caption;
  } cases[] = {
      {"grey-scale", tvx_test::write_fixture("grey.tga", grey), "TGA file be type 2 or type 10", "Invalid Image"},
      {"16 bits", tvx_test::write_fixture("deep16.tga", deep16), "Invalid texture information", "ERROR"},
      {"pixels cut short", tvx_test::write_fixture("cut.tga", cut), "Could not read image data", "ERROR"},
      {"header cut short", tvx_test::write_fixture("hdr.tga", Bytes(good.begin(), good.begin() + 11)), "Could not read file header",
       "ERROR"},
      {"a directory", tvx_test::scratch_dir(), "Could not read file header", "ERROR"},
  };
  GLuint other = 0;
  glGenTextures(1, &other);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    glBindTexture(GL_TEXTURE_2D, other);
    glDisable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    TEXTURETGA2[11].TEXID = 4242;
    tvx_test::boxes().clear();
    TEXTURELOADTGAID(c.path.c_str(), 11);
    ASSERT_EQ(tvx_test::boxes().size(), 1u);
    EXPECT_EQ(tvx_test::boxes()[0].text, c.message);
    EXPECT_EQ(tvx_test::boxes()[0].caption, c.caption);
    EXPECT_EQ(TEXTURETGA2[11].TEXID, 4242u);
    EXPECT_EQ(TEXTURETGA2[11].IMAGEDATA, nullptr);
    EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(geti(GL_UNPACK_ALIGNMENT), 4);
  }
  TEXTURETGA2[11] = TGATEXTURE{};
}

TEST_F(Textures, MissingTgaShowsNothingAndChangesNothing) {
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);
  TEXTURETGA2[12] = TGATEXTURE{nullptr, 1, 2, 3, 4, 5};
  TEXTURELOADTGAID((tvx_test::scratch_dir() + "/none.tga").c_str(), 12);
  const TGATEXTURE& slot = TEXTURETGA2[12];
  EXPECT_EQ(slot.IMAGEDATA, nullptr);
  EXPECT_EQ(slot.BPP, 1u);
  EXPECT_EQ(slot.WIDTH, 2u);
  EXPECT_EQ(slot.HEIGHT, 3u);
  EXPECT_EQ(slot.TEXID, 4u);
  EXPECT_EQ(slot.TYP, 5u);
  EXPECT_TRUE(tvx_test::boxes().empty());
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  TEXTURETGA2[12] = TGATEXTURE{};
}

struct TgaCase {
  const char* name;
  int width, height, bits;
  bool rle;
  GLint alignment_before;
};

void PrintTo(const TgaCase& c, std::ostream* os) { *os << c.name; }

class TgaUpload : public Textures, public ::testing::WithParamInterface<TgaCase> {};

TEST_P(TgaUpload, GoesUpUnskewedAndLeavesTheUnpackState) {
  const TgaCase c = GetParam();
  const std::vector<uint8_t> rgba = picture(c.width, c.height);
  const std::string path =
      tvx_test::write_fixture(std::string(c.name) + ".tga", imageio::build_tga(rgba.data(), c.width, c.height, c.bits, c.rle));
  glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment_before);
  TEXTURELOADTGAID(path.c_str(), 13);
  const TGATEXTURE& slot = TEXTURETGA2[13];
  ASSERT_NE(slot.TEXID, 0u);
  EXPECT_TRUE(tvx_test::boxes().empty());
  EXPECT_EQ(slot.IMAGEDATA, nullptr) << "the pixels are released after the upload";
  EXPECT_EQ(slot.WIDTH, static_cast<uint32_t>(c.width));
  EXPECT_EQ(slot.HEIGHT, static_cast<uint32_t>(c.height));
  EXPECT_EQ(slot.BPP, static_cast<uint32_t>(c.bits));
  EXPECT_EQ(slot.TYP, static_cast<uint32_t>(c.bits == 24 ? GL_RGB : GL_RGBA));
  EXPECT_EQ(geti(GL_TEXTURE_BINDING_2D), static_cast<GLint>(slot.TEXID));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(geti(GL_UNPACK_ALIGNMENT), c.alignment_before);
  EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), c.width);
  EXPECT_EQ(level_param(0, GL_TEXTURE_HEIGHT), c.height);
  const int n = c.bits / 8;
  // The writer stores the bottom row first; rows go up in file order.
  EXPECT_EQ(read_back(n == 3 ? GL_RGB : GL_RGBA, n), bottom_up(rgba, c.width, c.height, n));
}

INSTANTIATE_TEST_SUITE_P(
    Widths, TgaUpload,
    ::testing::Values(TgaCase{"odd24", 5, 3, 24, false, 4}, TgaCase{"odd24rle", 3, 2, 24, true, 4},
                      TgaCase{"two24", 2, 2, 24, false, 4}, TgaCase{"four24", 4, 2, 24, false, 4},
                      TgaCase{"odd32", 3, 3, 32, false, 4}, TgaCase{"rle32", 5, 2, 32, true, 4},
                      TgaCase{"odd24under8", 5, 2, 24, false, 8}, TgaCase{"odd32under8", 3, 2, 32, true, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Textures, FiltersAndWrapAreSetAndMipmapsOnlyWithAMipmapFilter) {
  const std::vector<uint8_t> rgba = picture(8, 4);
  const std::string bmp24 = tvx_test::write_fixture("mip24.bmp", imageio::build_bmp(rgba.data(), 8, 4, 24));
  const std::string bmp32 = tvx_test::write_fixture("mip32.bmp", imageio::build_bmp(rgba.data(), 8, 4, 32));
  const std::string tga24 = tvx_test::write_fixture("mip24.tga", imageio::build_tga(rgba.data(), 8, 4, 24, false));
  const std::string tga24odd = tvx_test::write_fixture("mip24odd.tga", imageio::build_tga(rgba.data(), 5, 3, 24, false));
  const std::string* paths[] = {&bmp24, &bmp32, &tga24, &tga24odd};
  const bool is_tga[] = {false, false, true, true};
  struct Setting {
    GLint min, mag;
    bool mipmaps;
  } settings[] = {
      {GL_LINEAR, GL_LINEAR, false},
      {GL_NEAREST, GL_NEAREST, false},
      {GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, true},
      {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, true},
      {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, true},
      {GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST, true},
  };
  for (const Setting& s : settings) {
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(*paths[i] + " min filter " + std::to_string(s.min));
      GL_MIN_FILTER = s.min;
      GL_MAG_FILTER = s.mag;
      glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
      if (is_tga[i])
        TEXTURELOADTGAID(paths[i]->c_str(), 14);
      else
        TEXTURELOADID(paths[i]->c_str(), 14);
      EXPECT_EQ(tex_param(GL_TEXTURE_MIN_FILTER), s.min);
      EXPECT_EQ(tex_param(GL_TEXTURE_MAG_FILTER), s.mag);
      EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_S), GL_REPEAT);
      EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_T), GL_REPEAT);
      EXPECT_EQ(geti(GL_UNPACK_ALIGNMENT), 4);
      const int base_w = level_param(0, GL_TEXTURE_WIDTH);
      EXPECT_GT(base_w, 0);
      if (s.mipmaps) {
        EXPECT_EQ(level_param(1, GL_TEXTURE_WIDTH), base_w / 2);
        const int max_level = tex_param(GL_TEXTURE_MAX_LEVEL);
        int last = 0;
        while (last < max_level && level_param(last + 1, GL_TEXTURE_WIDTH) > 0) ++last;
        EXPECT_EQ(level_param(last, GL_TEXTURE_WIDTH), 1) << "the chain runs down to 1 pixel";
      } else {
        EXPECT_EQ(level_param(1, GL_TEXTURE_WIDTH), 0) << "no mipmaps";
      }
    }
  }
  // The mipmap build of a 24-bit BMP reads its padded rows right: level 0,
  // re-specified by the build, still holds the picture.
  GL_MIN_FILTER = GL_LINEAR_MIPMAP_LINEAR;
  TEXTURELOADID(bmp24.c_str(), 14);
  EXPECT_EQ(read_back(GL_RGB, 3), bottom_up(rgba, 8, 4, 3));
  TEXTURELOADTGAID(tga24.c_str(), 14);
  EXPECT_EQ(read_back(GL_RGB, 3), bottom_up(rgba, 8, 4, 3));
}

}  // namespace
