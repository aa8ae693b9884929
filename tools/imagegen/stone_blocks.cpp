#include <algorithm>

#include "demo_images.h"
#include "synth.h"

namespace imagegen {

namespace {
constexpr uint32_t SEED = 0x5701Eu;
constexpr float GAP = 2.0f;  // half the joint between blocks

// Course heights and, for each course, block lengths; each list fills the
// 256-pixel tile exactly so the pattern repeats.
constexpr int COURSES[] = {72, 56, 68, 60};
constexpr int LENGTHS[4][4] = {{96, 80, 80, 0}, {128, 64, 64, 0}, {112, 144, 0, 0}, {72, 96, 88, 0}};
}  // namespace

Picture make_stone_blocks() {
  const int n = STONE_SIZE;
  Canvas canvas(n, n);
  const Rgb joint{0.20f, 0.19f, 0.17f};
  int top = 0;
  for (int course = 0; course < 4; ++course) {
    const int rows = COURSES[course];
    // Each course starts its blocks at its own place along the tile.
    const int phase = int(hash(uint32_t(course), 0, SEED) % uint32_t(n));
    for (int y = top; y < top + rows; ++y)
      for (int x = 0; x < n; ++x) {
        const float u = float(x) / float(n), v = float(y) / float(n);
        const int along = (x - phase + n) % n;
        int start = 0, block = 0;
        while (start + LENGTHS[course][block] <= along) start += LENGTHS[course][block++];
        const int length = LENGTHS[course][block];
        const uint32_t id = uint32_t(course * 4 + block);
        const float lx = float(along - start) + 0.5f;
        const float ly = float(y - top) + 0.5f;
        // Chipped arrises: the edge distance is worn away unevenly.
        const float chip = tile_noise(u, v, 16, 3, SEED + 1) * 5.0f;
        const float edge = std::min(std::min(lx, float(length) - lx), std::min(ly, float(rows) - ly)) - chip + 2.0f;

        const float rough = tile_noise(u, v, 16, 4, SEED + 2 + id);
        const float speck = hash01(uint32_t(x), uint32_t(y), SEED + 3);
        if (edge < GAP) {
          canvas.at(x, y) = scale(joint, 0.8f + 0.4f * rough);
          canvas.relief_at(x, y) = 0.05f * rough;
          continue;
        }
        // Each block is cut from a slightly different stone: grey, warmer
        // or cooler.
        const float grey = 0.46f + 0.20f * hash01(id, 1, SEED);
        const float warm = (hash01(id, 2, SEED) - 0.5f) * 0.14f;
        const Rgb base{grey * (1.02f + warm), grey, grey * (0.97f - warm)};
        const float mottle = tile_noise(u, v, 6, 4, SEED + 40 + id);
        Rgb c = scale(base, 0.78f + 0.40f * mottle + 0.16f * (speck - 0.5f));
        // Weathered streaks and dark spots of lichen.
        const float lichen = smooth01((tile_noise(u, v, 12, 3, SEED + 7) - 0.66f) * 6.0f);
        c = mix(c, Rgb{0.30f, 0.32f, 0.24f}, 0.45f * lichen);
        canvas.at(x, y) = c;
        const float bevel = smooth01((edge - GAP) / 6.0f);
        canvas.relief_at(x, y) = 0.30f + 0.55f * bevel + 0.15f * rough;
      }
    top += rows;
  }
  Picture picture{n, n, shade_tiling(canvas, 2.2f)};
  return picture;
}

}  // namespace imagegen
