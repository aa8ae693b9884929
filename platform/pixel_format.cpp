// Choosing the framebuffer configuration closest to a pixel-format request.
//
// Only three things are hard requirements: RGBA colour, drawing to a window,
// and double buffering when it is asked for. A configuration must also sit on
// a visual no deeper than the screen: a 32-bit ARGB visual would let a
// compositor show the desktop through the window wherever the alpha is clear.
// Everything else the request names is a preference. Candidates are compared
// in this order, each step deciding only between candidates equal on the
// steps before it:
//   1. the fewest requested buffers missing: alpha, depth, stencil,
//      accumulation, auxiliary buffers (each missing one counts) and stereo.
//      Stereo is a preference, not a requirement: common drivers offer no
//      stereo configuration at all, nor auxiliary buffers;
//   2. the least sum of squared differences over red, green and blue, where a
//      colour depth without channel sizes asks for a third of it per channel
//      (24 and 32 both ask for 8 bits each);
//   3. the least sum of squared differences over alpha, depth, stencil, the
//      accumulation channels and auxiliary buffers (only those requested) and
//      the sample count (a request cannot ask for multisampling, so none is
//      best);
//   4. stereo and double buffering exactly as requested (no unasked extras);
//   5. a visual exactly as deep as the screen;
//   6. the earlier candidate.
// Generic-format and generic-acceleration flags name no property a
// configuration here has, so they change nothing.
#include <tvxp/gl.h>

#include <cstdint>

namespace tvxp {
namespace {

struct Score {
  int64_t missing;
  int64_t colour;
  int64_t extra;
  int unasked;
  int depth_mismatch;
};

bool better(const Score& a, const Score& b) {
  if (a.missing != b.missing) return a.missing < b.missing;
  if (a.colour != b.colour) return a.colour < b.colour;
  if (a.extra != b.extra) return a.extra < b.extra;
  if (a.unasked != b.unasked) return a.unasked < b.unasked;
  return a.depth_mismatch < b.depth_mismatch;
}

int64_t square(int64_t d) { return d * d; }

// Bits per channel asked for when only the total is given.
int per_channel(int total, int channels) {
  if (channels == 3 && total == 32) return 8;  // the fourth byte is padding or alpha
  return total / channels;
}

}  // namespace

int rank_pixel_formats(const PIXELFORMATDESCRIPTOR& want, const PixelFormatInfo* formats, size_t count,
                       int screen_depth) {
  const bool want_double = (want.dwFlags & PFD_DOUBLEBUFFER) != 0;
  const bool want_stereo = (want.dwFlags & PFD_STEREO) != 0;

  const int colour_each = per_channel(want.cColorBits, 3);
  const int want_rgb[3] = {want.cRedBits ? want.cRedBits : colour_each,
                           want.cGreenBits ? want.cGreenBits : colour_each,
                           want.cBlueBits ? want.cBlueBits : colour_each};
  const int accum_each = want.cAccumBits / 4;
  const int want_accum[4] = {want.cAccumRedBits ? want.cAccumRedBits : accum_each,
                             want.cAccumGreenBits ? want.cAccumGreenBits : accum_each,
                             want.cAccumBlueBits ? want.cAccumBlueBits : accum_each,
                             want.cAccumAlphaBits ? want.cAccumAlphaBits : accum_each};
  const bool want_accum_any = want_accum[0] || want_accum[1] || want_accum[2] || want_accum[3];

  int best = -1;
  Score best_score{};
  for (size_t i = 0; i < count; ++i) {
    const PixelFormatInfo& f = formats[i];
    if (!f.rgba || !f.window) continue;
    if (want_double && !f.double_buffer) continue;
    if (f.visual_depth <= 0 || f.visual_depth > screen_depth) continue;

    const int have_accum[4] = {f.accum_red, f.accum_green, f.accum_blue, f.accum_alpha};
    Score s{};
    if (want.cAlphaBits && f.alpha == 0) ++s.missing;
    if (want.cDepthBits && f.depth == 0) ++s.missing;
    if (want.cStencilBits && f.stencil == 0) ++s.missing;
    if (want_accum_any && !(have_accum[0] || have_accum[1] || have_accum[2] || have_accum[3])) ++s.missing;
    if (want.cAuxBuffers > f.aux_buffers) s.missing += want.cAuxBuffers - f.aux_buffers;
    if (want_stereo && !f.stereo) ++s.missing;

    const int have_rgb[3] = {f.red, f.green, f.blue};
    for (int c = 0; c < 3; ++c)
      if (want_rgb[c]) s.colour += square(want_rgb[c] - have_rgb[c]);

    if (want.cAlphaBits) s.extra += square(want.cAlphaBits - f.alpha);
    if (want.cDepthBits) s.extra += square(want.cDepthBits - f.depth);
    if (want.cStencilBits) s.extra += square(want.cStencilBits - f.stencil);
    for (int c = 0; c < 4; ++c)
      if (want_accum[c]) s.extra += square(want_accum[c] - have_accum[c]);
    if (want.cAuxBuffers) s.extra += square(want.cAuxBuffers - f.aux_buffers);
    s.extra += square(f.samples);

    s.unasked = (f.stereo && !want_stereo) + (f.double_buffer && !want_double);
    s.depth_mismatch = f.visual_depth != screen_depth;

    if (best < 0 || better(s, best_score)) {
      best = static_cast<int>(i);
      best_score = s;
    }
  }
  return best;
}

}  // namespace tvxp
