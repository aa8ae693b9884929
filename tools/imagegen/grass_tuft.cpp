#include <algorithm>
#include <cmath>

#include "demo_images.h"
#include "synth.h"

namespace imagegen {

namespace {
constexpr uint32_t SEED = 0xE7BAu;
constexpr int BLADES = 72;

struct Blade {
  float depth;            // drawn back to front
  float x0, y0;           // base, on the bottom edge
  float cx, cy;           // control point of the bend
  float x1, y1;           // tip
  float width;            // half-width at the base
  Rgb root, tip;
  int index;
};

Blade make_blade(int i, int n) {
  const uint32_t k = uint32_t(i);
  Blade b{};
  b.index = i;
  b.depth = hash01(k, 1, SEED);
  const float size = float(n);
  // Bases gather towards the middle of the tuft.
  const float spread = hash01(k, 2, SEED) + hash01(k, 3, SEED) - 1.0f;
  b.x0 = size * (0.5f + 0.30f * spread);
  b.y0 = size;
  const float tall = size * (0.42f + 0.48f * hash01(k, 4, SEED));
  // Blades lean outwards from the centre, some more than others.
  float lean = (b.x0 - size * 0.5f) * 1.1f + (hash01(k, 5, SEED) - 0.5f) * 0.55f * tall;
  b.x1 = std::min(std::max(b.x0 + lean, size * 0.04f), size * 0.96f);
  lean = b.x1 - b.x0;
  // Leaning blades also droop: their tips sit lower.
  const float droop = std::fabs(lean) / tall;
  b.y1 = size - tall * (1.0f - 0.25f * droop * droop);
  b.cx = b.x0 + lean * (0.10f + 0.20f * hash01(k, 6, SEED));
  b.cy = size - tall * (0.70f + 0.15f * hash01(k, 7, SEED));
  b.width = size * (0.007f + 0.012f * hash01(k, 8, SEED));
  // Blades further back are darker; a few are dry and yellowish.
  const float light = 0.62f + 0.38f * b.depth;
  Rgb root{0.10f, 0.26f, 0.05f};
  Rgb tip{0.42f, 0.70f, 0.18f};
  if (hash01(k, 9, SEED) < 0.12f) tip = Rgb{0.66f, 0.66f, 0.28f};
  const float hue = (hash01(k, 10, SEED) - 0.5f) * 0.16f;
  tip = Rgb{tip.r + hue, tip.g, tip.b - hue * 0.5f};
  b.root = scale(root, light);
  b.tip = scale(tip, light);
  return b;
}

void draw_blade(const Blade& b, Picture& picture) {
  const int n = picture.width;
  const float tall = b.y0 - b.y1;
  const int steps = int(tall * 6.0f) + 8;
  for (int s = 0; s <= steps; ++s) {
    const float t = float(s) / float(steps);
    const float a = (1.0f - t) * (1.0f - t), m = 2.0f * (1.0f - t) * t, c = t * t;
    const float x = a * b.x0 + m * b.cx + c * b.x1;
    const float y = a * b.y0 + m * b.cy + c * b.y1;
    const float half = b.width * std::sqrt(1.0f - t);
    const int row = std::min(int(std::floor(y)), n - 1);
    if (row < 0 || half <= 0.0f) continue;
    const int left = std::max(int(std::floor(x - half)), 0);
    const int right = std::min(int(std::ceil(x + half)), n - 1);
    for (int px = left; px <= right; ++px) {
      const float across = (float(px) + 0.5f - x) / half;
      if (across < -1.0f || across > 1.0f) continue;
      // The blade is folded along its midrib: one half faces the light.
      const float fold = across < 0.0f ? 1.08f + 0.10f * across : 0.86f - 0.08f * across;
      // The roots are shaded by the blades around them.
      const float base_shade = 0.55f + 0.45f * smooth01(t * 3.0f);
      const Rgb col = scale(mix(b.root, b.tip, smooth01(t * 1.3f)), fold * base_shade);
      uint8_t* p = &picture.rgba[(size_t(row) * n + px) * 4];
      p[0] = to_byte(col.r);
      p[1] = to_byte(col.g);
      p[2] = to_byte(col.b);
      p[3] = 255;
    }
  }
}
}  // namespace

Picture make_grass_tuft() {
  const int n = GRASS_SIZE;
  Picture picture{n, n, std::vector<uint8_t>(size_t(n) * n * 4)};
  // Transparent texels carry a dark green so that filtering at the blade
  // edges blends towards grass, not towards black.
  for (size_t i = 0; i < picture.rgba.size(); i += 4) {
    picture.rgba[i] = 46;
    picture.rgba[i + 1] = 84;
    picture.rgba[i + 2] = 22;
    picture.rgba[i + 3] = 0;
  }
  std::vector<Blade> blades;
  for (int i = 0; i < BLADES; ++i) blades.push_back(make_blade(i, n));
  std::sort(blades.begin(), blades.end(), [](const Blade& a, const Blade& b) {
    return a.depth != b.depth ? a.depth < b.depth : a.index < b.index;
  });
  for (const Blade& b : blades) draw_blade(b, picture);
  return picture;
}

}  // namespace imagegen
