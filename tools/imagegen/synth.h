// Building blocks of the procedural textures: integer hashing, value noise
// that tiles, and relief shading of a height field. Everything is plain
// float arithmetic and square roots (no transcendental functions), so the
// same seed gives the same bytes on every build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imagegen {

struct Rgb {
  float r, g, b;
};

// A picture being made: one colour and one relief height per pixel, row 0 at
// the top.
struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgb> color;
  std::vector<float> relief;  // 0 = deepest (mortar), 1 = the face of a brick or block

  Canvas(int w, int h) : width(w), height(h), color(size_t(w) * h), relief(size_t(w) * h) {}
  Rgb& at(int x, int y) { return color[size_t(y) * width + x]; }
  float& relief_at(int x, int y) { return relief[size_t(y) * width + x]; }
};

uint32_t hash(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// A hash mapped to [0, 1).
float hash01(uint32_t a, uint32_t b = 0, uint32_t c = 0);

// Smoothly interpolated lattice noise in [0, 1]. x and y are in lattice
// cells; the lattice repeats every `period` cells on both axes, so a texture
// whose side spans a whole number of periods tiles without a seam.
float value_noise(float x, float y, int period, uint32_t seed);

// Octaves of value_noise over a tile, u and v in [0, 1) across it: the first
// octave has `cells` lattice cells across the tile, each further one twice as
// many at half the weight. Result in [0, 1].
float tile_noise(float u, float v, int cells, int octaves, uint32_t seed);

float clamp01(float v);
float smooth01(float v);  // 3v^2 - 2v^3 on [0, 1], clamped outside
Rgb scale(Rgb c, float k);
Rgb mix(Rgb a, Rgb b, float t);

// Lights the canvas by its relief, as if from the upper left, wrapping
// around the edges so a tiling texture stays seamless; deep parts are also
// darkened a little. `depth` scales the relief's slopes. Writes RGBA bytes
// (alpha 255), top row first.
std::vector<uint8_t> shade_tiling(const Canvas& canvas, float depth);

uint8_t to_byte(float v);

}  // namespace imagegen
