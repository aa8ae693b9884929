#include "synth.h"

#include <cmath>

namespace imagegen {

uint32_t hash(uint32_t a, uint32_t b, uint32_t c) {
  // Three rounds of a multiply-xorshift mix; good enough that neighbouring
  // lattice points look unrelated.
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float hash01(uint32_t a, uint32_t b, uint32_t c) {
  return float(hash(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smooth01(float v) {
  v = clamp01(v);
  return v * v * (3.0f - 2.0f * v);
}

Rgb scale(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Rgb mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float value_noise(float x, float y, int period, uint32_t seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const float tx = smooth01(x - fx);
  const float ty = smooth01(y - fy);
  auto wrap = [period](float f) {
    int i = int(f) % period;
    return uint32_t(i < 0 ? i + period : i);
  };
  const uint32_t x0 = wrap(fx), x1 = wrap(fx + 1.0f);
  const uint32_t y0 = wrap(fy), y1 = wrap(fy + 1.0f);
  const float a = hash01(x0, y0, seed), b = hash01(x1, y0, seed);
  const float c = hash01(x0, y1, seed), d = hash01(x1, y1, seed);
  const float top = a + (b - a) * tx;
  const float bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float tile_noise(float u, float v, int cells, int octaves, uint32_t seed) {
  float sum = 0.0f, weight = 0.0f, amplitude = 1.0f;
  int period = cells;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * value_noise(u * float(period), v * float(period), period, seed + uint32_t(o) * 1013u);
    weight += amplitude;
    amplitude *= 0.5f;
    period *= 2;
  }
  return sum / weight;
}

uint8_t to_byte(float v) { return uint8_t(int(clamp01(v) * 255.0f + 0.5f)); }

std::vector<uint8_t> shade_tiling(const Canvas& canvas, float depth) {
  const int w = canvas.width, h = canvas.height;
  auto relief = [&](int x, int y) {
    x = (x + w) % w;
    y = (y + h) % h;
    return canvas.relief[size_t(y) * w + x];
  };
  // Light from the upper left and in front; image y grows downwards.
  const float lx = -0.45f, ly = -0.55f, lz = 0.70f;
  const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
  const float ambient = 0.45f, diffuse = 0.70f;
  const float flat = ambient + diffuse * lz / ll;
  std::vector<uint8_t> out(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float nx = -(relief(x + 1, y) - relief(x - 1, y)) * depth;
      const float ny = -(relief(x, y + 1) - relief(x, y - 1)) * depth;
      const float nl = std::sqrt(nx * nx + ny * ny + 1.0f);
      float lambert = (nx * lx + ny * ly + lz) / (nl * ll);
      if (lambert < 0.0f) lambert = 0.0f;
      const float occlusion = 0.72f + 0.28f * relief(x, y);
      const float k = (ambient + diffuse * lambert) / flat * occlusion;
      const Rgb c = scale(canvas.color[size_t(y) * w + x], k);
      uint8_t* p = &out[(size_t(y) * w + x) * 4];
      p[0] = to_byte(c.r);
      p[1] = to_byte(c.g);
      p[2] = to_byte(c.b);
      p[3] = 255;
    }
  return out;
}

}  // namespace imagegen
