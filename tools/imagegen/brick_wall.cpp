#include <algorithm>

#include "demo_images.h"
#include "synth.h"

namespace imagegen {

namespace {
constexpr int COURSE = 32;  // pixels per course of bricks, mortar included
constexpr int BRICK = 64;   // pixels per brick length, mortar included
constexpr float MORTAR = 2.2f;  // half the mortar joint
constexpr uint32_t SEED = 0x57A11u;
}  // namespace

Picture make_brick_wall() {
  const int n = WALL_SIZE;
  Canvas canvas(n, n);
  const int bricks_per_course = n / BRICK;
  const Rgb mortar{0.70f, 0.67f, 0.60f};
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const float u = float(x) / float(n), v = float(y) / float(n);
      const int course = y / COURSE;
      // Running bond: every other course moves half a brick along.
      const int shifted = (x + (course % 2) * (BRICK / 2)) % n;
      const int column = shifted / BRICK;
      const uint32_t brick = uint32_t(course * bricks_per_course + column);
      const float lx = float(shifted % BRICK) + 0.5f;
      const float ly = float(y % COURSE) + 0.5f;
      // Hand-laid joints wander a little.
      const float wobble = (tile_noise(u, v, 16, 2, SEED + 1) - 0.5f) * 2.4f;
      const float edge = std::min(std::min(lx, float(BRICK) - lx), std::min(ly, float(COURSE) - ly)) + wobble;

      const float grain = tile_noise(u, v, 32, 3, SEED + 2);
      const float speck = hash01(uint32_t(x), uint32_t(y), SEED + 3);
      if (edge < MORTAR) {
        canvas.at(x, y) = scale(mortar, 0.82f + 0.25f * grain + 0.08f * (speck - 0.5f));
        canvas.relief_at(x, y) = 0.12f * grain;
        continue;
      }
      // Each brick has its own firing: redder, browner or darker.
      const float red = 0.52f + 0.20f * hash01(brick, 1, SEED);
      const float burn = 0.72f + 0.28f * hash01(brick, 2, SEED);
      Rgb base{red, red * (0.34f + 0.12f * hash01(brick, 3, SEED)), red * (0.24f + 0.08f * hash01(brick, 4, SEED))};
      base = scale(base, burn);
      const float blotch = tile_noise(u, v, 8, 3, SEED + uint32_t(brick) * 7u + 11u);
      Rgb c = scale(base, 0.80f + 0.38f * blotch + 0.14f * (speck - 0.5f));
      // Soot darkens some brick ends.
      const float soot = smooth01((tile_noise(u, v, 4, 2, SEED + 5) - 0.62f) * 4.0f);
      c = scale(c, 1.0f - 0.35f * soot);
      canvas.at(x, y) = c;
      const float bevel = smooth01((edge - MORTAR) / 3.5f);
      canvas.relief_at(x, y) = 0.35f + 0.65f * bevel - 0.10f * grain;
    }
  Picture picture{n, n, shade_tiling(canvas, 1.6f)};
  return picture;
}

}  // namespace imagegen
