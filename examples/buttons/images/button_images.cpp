// Draws the example's button images: tarvex-buttons-images DIRECTORY
//
// Three shapes (circle, square, star), each in three states: N (normal), H
// (hover, lighter) and P (pressed, darker and lit from below). Everything
// outside a shape is magenta, which the buttons treat as transparent. The
// files are 24-bit BMPs named <shape><state>.BMP.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "image_writer.h"

namespace {

const int SIZE = 64;
const double PI = 3.14159265358979323846;
const int RIM = 2;  // width of the darker outline, in pixels

struct Rgb {
  double r, g, b;
};

// Inside tests of the three shapes, in pixel-centre coordinates.
bool in_circle(double x, double y) {
  double dx = x - 32, dy = y - 32;
  return dx * dx + dy * dy <= 29.0 * 29.0;
}

bool in_square(double x, double y) {
  const double lo = 4, hi = 60, radius = 13;
  if (x < lo || x > hi || y < lo || y > hi) return false;
  // Only the four corners are rounded.
  double cx = x < lo + radius ? lo + radius : (x > hi - radius ? hi - radius : x);
  double cy = y < lo + radius ? lo + radius : (y > hi - radius ? hi - radius : y);
  double dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= radius * radius;
}

bool in_star(double x, double y) {
  // A five-pointed star, point up: ten corners alternating between the outer
  // and the inner radius, tested by the even-odd rule.
  double px[10], py[10];
  for (int i = 0; i < 10; ++i) {
    double radius = (i % 2 == 0) ? 31.0 : 13.0;
    double a = -PI / 2 + i * PI / 5;
    px[i] = 32 + radius * std::cos(a);
    py[i] = 34 + radius * std::sin(a);
  }
  bool inside = false;
  for (int i = 0, j = 9; i < 10; j = i++)
    if ((py[i] > y) != (py[j] > y) && x < (px[j] - px[i]) * (y - py[i]) / (py[j] - py[i]) + px[i]) inside = !inside;
  return inside;
}

using ShapeTest = bool (*)(double, double);

bool inside(ShapeTest shape, int x, int y) {
  if (x < 0 || y < 0 || x >= SIZE || y >= SIZE) return false;
  return shape(x + 0.5, y + 0.5);
}

// Close to the outline: some pixel within RIM is outside the shape.
bool on_rim(ShapeTest shape, int x, int y) {
  for (int dy = -RIM; dy <= RIM; ++dy)
    for (int dx = -RIM; dx <= RIM; ++dx)
      if (dx * dx + dy * dy <= RIM * RIM && !inside(shape, x + dx, y + dy)) return true;
  return false;
}

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

uint8_t channel(double v) {
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return static_cast<uint8_t>(std::lround(v));
}

// One state's picture: a vertical gradient over the base colour (light from
// above, or from below when pressed), with a darker rim.
std::vector<uint8_t> draw(ShapeTest shape, Rgb base, char state) {
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  if (state == 'H') base = mix(base, white, 0.35);
  if (state == 'P') base = mix(base, black, 0.30);
  std::vector<uint8_t> rgba(SIZE * SIZE * 4);
  for (int y = 0; y < SIZE; ++y)
    for (int x = 0; x < SIZE; ++x) {
      Rgb c{255, 0, 255};
      if (inside(shape, x, y)) {
        double t = static_cast<double>(y) / (SIZE - 1);
        if (state == 'P') t = 1 - t;
        c = t < 0.5 ? mix(base, white, 0.25 * (0.5 - t) * 2) : mix(base, black, 0.25 * (t - 0.5) * 2);
        if (on_rim(shape, x, y)) c = mix(base, black, 0.45);
      }
      uint8_t* p = &rgba[(y * SIZE + x) * 4];
      p[0] = channel(c.r);
      p[1] = channel(c.g);
      p[2] = channel(c.b);
      p[3] = 255;
    }
  return rgba;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argc > 0 ? argv[0] : "tarvex-buttons-images");
    return 2;
  }
  struct Shape {
    const char* name;
    ShapeTest test;
    Rgb base;
  };
  const Shape shapes[] = {
      {"circle", in_circle, {52, 120, 220}},
      {"square", in_square, {60, 170, 90}},
      {"star", in_star, {235, 170, 40}},
  };
  for (const Shape& s : shapes)
    for (char state : {'N', 'H', 'P'}) {
      std::string path = std::string(argv[1]) + "/" + s.name + state + ".BMP";
      std::vector<uint8_t> rgba = draw(s.test, s.base, state);
      if (!imageio::write_bmp(path, rgba.data(), SIZE, SIZE, 24)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
        return 1;
      }
    }
  return 0;
}
