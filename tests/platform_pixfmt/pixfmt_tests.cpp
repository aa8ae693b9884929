// The framebuffer configuration closest to a pixel-format request.
#include <gtest/gtest.h>

#include <tvxp/gl.h>

#include <vector>

namespace {

using tvxp::PixelFormatInfo;
using tvxp::PIXELFORMATDESCRIPTOR;

// What the toolkit asks for: double-buffered RGBA for a window, stereo, and 32
// for every bit count.
PIXELFORMATDESCRIPTOR toolkit_request() {
  PIXELFORMATDESCRIPTOR p{};
  p.nSize = 40;
  p.nVersion = 1;
  p.dwFlags = 0x1067;
  p.iPixelType = tvxp::PFD_TYPE_RGBA;
  p.cColorBits = 32;
  p.cAlphaBits = 32;
  p.cAccumBits = 32;
  p.cDepthBits = 32;
  p.cStencilBits = 32;
  p.cAuxBuffers = 32;
  p.iLayerType = 1;
  return p;
}

PIXELFORMATDESCRIPTOR plain_request(uint32_t flags, int colour, int depth) {
  PIXELFORMATDESCRIPTOR p{};
  p.nSize = 40;
  p.nVersion = 1;
  p.dwFlags = flags;
  p.cColorBits = static_cast<uint8_t>(colour);
  p.cDepthBits = static_cast<uint8_t>(depth);
  return p;
}

// A double-buffered RGBA window configuration on a 24-bit visual.
PixelFormatInfo config(int r, int g, int b, int a, int depth, int stencil, int accum = 0) {
  PixelFormatInfo f{};
  f.rgba = true;
  f.window = true;
  f.double_buffer = true;
  f.red = r;
  f.green = g;
  f.blue = b;
  f.alpha = a;
  f.depth = depth;
  f.stencil = stencil;
  f.accum_red = f.accum_green = f.accum_blue = f.accum_alpha = accum;
  f.visual_depth = 24;
  return f;
}

template <typename F>
PixelFormatInfo with(PixelFormatInfo f, F change) {
  change(f);
  return f;
}

int rank(const PIXELFORMATDESCRIPTOR& want, const std::vector<PixelFormatInfo>& list, int screen_depth = 24) {
  return tvxp::rank_pixel_formats(want, list.data(), list.size(), screen_depth);
}

struct RankCase {
  const char* what;
  PIXELFORMATDESCRIPTOR want;
  std::vector<PixelFormatInfo> candidates;
  int expected;
};

TEST(PixelFormat, ClosestCandidate) {
  const PixelFormatInfo full = config(8, 8, 8, 8, 24, 8, 16);
  const auto single = [](PixelFormatInfo& f) { f.double_buffer = false; };
  const auto argb = [](PixelFormatInfo& f) { f.visual_depth = 32; };
  const std::vector<RankCase> cases = {
      {"nothing to choose from", toolkit_request(), {}, -1},
      {"single buffering cannot serve a double-buffered request",
       toolkit_request(),
       {with(full, single), with(config(8, 8, 8, 8, 32, 8, 16), single)},
       -1},
      {"colour-index and pixmap-only configurations are refused",
       toolkit_request(),
       {with(full, [](PixelFormatInfo& f) { f.rgba = false; }), with(full, [](PixelFormatInfo& f) { f.window = false; })},
       -1},
      {"a configuration without a visual is refused",
       toolkit_request(),
       {with(full, [](PixelFormatInfo& f) { f.visual_depth = 0; })},
       -1},
      {"the toolkit's request without stereo or auxiliary buffers anywhere takes the fullest one",
       toolkit_request(),
       {config(8, 8, 8, 0, 24, 8, 16), config(8, 8, 8, 8, 24, 0, 16), config(8, 8, 8, 8, 24, 8, 0), full,
        config(8, 8, 8, 8, 16, 8, 16)},
       3},
      {"a 32-bit ARGB visual is passed over for one as deep as the screen",
       toolkit_request(),
       {with(config(8, 8, 8, 8, 24, 8, 16), argb), config(8, 8, 8, 0, 24, 8, 16)},
       1},
      {"with only ARGB visuals deeper than the screen nothing fits",
       toolkit_request(),
       {with(full, argb)},
       -1},
      {"single-buffered candidates are skipped even when richer",
       toolkit_request(),
       {with(full, single), config(8, 8, 8, 0, 16, 0, 0)},
       1},
      {"a missing buffer weighs more than any difference in size",
       toolkit_request(),
       {config(8, 8, 8, 0, 24, 8, 16), config(5, 6, 5, 8, 16, 8, 16)},
       1},
      {"a 32-bit colour request asks for 8 bits per channel",
       plain_request(0x25, 32, 0),
       {config(5, 6, 5, 0, 0, 0), config(10, 10, 10, 0, 0, 0), config(8, 8, 8, 0, 0, 0)},
       2},
      {"a 16-bit colour request asks for 5 bits per channel",
       plain_request(0x25, 16, 0),
       {config(8, 8, 8, 0, 0, 0), config(5, 6, 5, 0, 0, 0)},
       1},
      {"explicit channel sizes override the total",
       [] {
         PIXELFORMATDESCRIPTOR p = plain_request(0x25, 32, 0);
         p.cRedBits = p.cGreenBits = p.cBlueBits = 10;
         return p;
       }(),
       {config(8, 8, 8, 0, 0, 0), config(10, 10, 10, 0, 0, 0)},
       1},
      {"colour decides before depth",
       plain_request(0x25, 24, 24),
       {config(5, 6, 5, 0, 24, 0), config(8, 8, 8, 0, 16, 0)},
       1},
      {"the depth size closest to the request wins",
       plain_request(0x25, 24, 24),
       {config(8, 8, 8, 0, 16, 0), config(8, 8, 8, 0, 32, 0), config(8, 8, 8, 0, 24, 0)},
       2},
      {"unrequested buffers do not count against a candidate",
       plain_request(0x25, 24, 0),
       {config(8, 8, 8, 8, 24, 8, 16), config(8, 8, 8, 0, 0, 0)},
       0},
      {"no multisampling is preferred",
       plain_request(0x25, 24, 24),
       {with(config(8, 8, 8, 0, 24, 0), [](PixelFormatInfo& f) { f.samples = 4; }), config(8, 8, 8, 0, 24, 0)},
       1},
      {"a stereo candidate wins when stereo is asked for",
       toolkit_request(),
       {full, with(full, [](PixelFormatInfo& f) { f.stereo = true; })},
       1},
      {"equal candidates: the first wins",
       toolkit_request(),
       {config(8, 8, 8, 8, 24, 8, 16), full, full},
       0},
      {"equal otherwise, the visual as deep as the screen wins",
       plain_request(0x25, 24, 24),
       {with(config(8, 8, 8, 0, 24, 0), [](PixelFormatInfo& f) { f.visual_depth = 16; }), config(8, 8, 8, 0, 24, 0)},
       1},
      {"without a double-buffering request a single-buffered candidate serves and is preferred",
       plain_request(0x24, 24, 24),
       {config(8, 8, 8, 0, 24, 0), with(config(8, 8, 8, 0, 24, 0), single)},
       1},
      {"generic-format flags change nothing",
       plain_request(0x1065, 24, 24),
       {config(8, 8, 8, 0, 16, 0), config(8, 8, 8, 0, 24, 0)},
       1},
  };
  for (const RankCase& c : cases) EXPECT_EQ(rank(c.want, c.candidates), c.expected) << c.what;
}

// The configurations Mesa's software renderer offers under a virtual X server,
// in its order: some on 32-bit ARGB visuals, none stereo, none with auxiliary
// buffers.
TEST(PixelFormat, SoftwareRendererList) {
  std::vector<PixelFormatInfo> list;
  for (int visual : {24, 32})
    for (int alpha : {0, 8})
      for (int depth : {0, 16, 24, 32})
        for (int stencil : {0, 8})
          for (int accum : {0, 16})
            for (bool dbl : {false, true}) {
              if (alpha == 0 && visual == 32) continue;
              PixelFormatInfo f = config(8, 8, 8, alpha, depth, stencil, accum);
              f.double_buffer = dbl;
              f.visual_depth = visual;
              list.push_back(f);
            }
  int i = rank(toolkit_request(), list);
  ASSERT_GE(i, 0);
  const PixelFormatInfo& f = list[static_cast<size_t>(i)];
  EXPECT_TRUE(f.double_buffer);
  EXPECT_EQ(f.visual_depth, 24);
  EXPECT_EQ(f.alpha, 8);
  EXPECT_EQ(f.depth, 32);
  EXPECT_EQ(f.stencil, 8);
  EXPECT_EQ(f.accum_red, 16);
  // On a 32-bit screen the ARGB visuals are as deep as the screen and win.
  int j = rank(toolkit_request(), list, 32);
  ASSERT_GE(j, 0);
  EXPECT_EQ(list[static_cast<size_t>(j)].visual_depth, 32);
  EXPECT_EQ(list[static_cast<size_t>(j)].depth, 32);
}

}  // namespace
