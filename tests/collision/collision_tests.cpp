// Segment/triangle and segment/quad tests, the vector arithmetic they are built
// from, and a bit-for-bit comparison with a plain extended-precision version.
#include <tvx_collision/collision.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace TVX_Collision;

namespace {

using V3 = TGLVECTOR;
using LD = long double;

uint32_t bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

float from_bits(uint32_t b) {
  float f;
  std::memcpy(&f, &b, 4);
  return f;
}

bool same_bits(V3 a, V3 b) { return std::memcmp(&a, &b, sizeof(V3)) == 0; }

std::string show(V3 v) {
  char s[160];
  std::snprintf(s, sizeof s, "(%.9g, %.9g, %.9g) [%08x %08x %08x]", v.X, v.Y, v.Z, bits(v.X),
                bits(v.Y), bits(v.Z));
  return s;
}

// The obvious way: every operation in long double, one store to single.
namespace plain {

V3 sub(V3 a, V3 b) { return {float(LD(a.X) - b.X), float(LD(a.Y) - b.Y), float(LD(a.Z) - b.Z)}; }
V3 add(V3 a, V3 b) { return {float(LD(a.X) + b.X), float(LD(a.Y) + b.Y), float(LD(a.Z) + b.Z)}; }
V3 mul(V3 v, double m) { return {float(LD(v.X) * m), float(LD(v.Y) * m), float(LD(v.Z) * m)}; }
V3 cross(V3 u, V3 v) {
  return {float(LD(u.Y) * v.Z - LD(u.Z) * v.Y), float(LD(u.Z) * v.X - LD(u.X) * v.Z),
          float(LD(u.X) * v.Y - LD(u.Y) * v.X)};
}
float dot(V3 u, V3 v) { return float(LD(u.X) * v.X + LD(u.Y) * v.Y + LD(u.Z) * v.Z); }
V3 normalize(V3 v) {
  const float length = float(std::sqrt(LD(v.X) * v.X + LD(v.Y) * v.Y + LD(v.Z) * v.Z));
  return {float(LD(v.X) / length), float(LD(v.Y) / length), float(LD(v.Z) / length)};
}

bool line_in_triangle(V3 p1, V3 p2, V3 a, V3 b, V3 c, V3& out) {
  const V3 norm = normalize(cross(sub(b, a), sub(c, a)));
  const float d1 = dot(sub(p1, a), norm);
  const float d2 = dot(sub(p2, a), norm);
  if (!(LD(d1) * d2 < 0)) return false;
  const double t = -double(d1) / (double(d2) - double(d1));
  const V3 x = add(p1, mul(sub(p2, p1), t));
  if (dot(cross(norm, sub(b, a)), sub(x, a)) < 0) return false;
  if (dot(cross(norm, sub(c, b)), sub(x, b)) < 0) return false;
  if (dot(cross(norm, sub(a, c)), sub(x, a)) < 0) return false;
  out = x;
  return true;
}

bool line_in_quad(V3 p1, V3 p2, V3 a, V3 b, V3 c, V3 d, V3& out) {
  if (line_in_triangle(p1, p2, a, b, c, out)) return true;
  return line_in_triangle(p1, p2, c, b, d, out);
}

// The test on a prepared record, step by step from its single fields.
bool line_in_prepared(V3 p1, V3 p2, const TPREPAREDTRIANGLE& t, V3& out) {
  const float d1 = dot(sub(p1, t.A), t.NORM);
  const float d2 = dot(sub(p2, t.A), t.NORM);
  if (!(LD(d1) * d2 < 0)) return false;
  const double tt = -double(d1) / (double(d2) - double(d1));
  const V3 x = add(p1, mul(sub(p2, p1), tt));
  if (dot(t.TEST1, sub(x, t.A)) < 0) return false;
  if (dot(t.TEST2, sub(x, t.B)) < 0) return false;
  if (dot(t.TEST3, sub(x, t.A)) < 0) return false;
  out = x;
  return true;
}

}  // namespace plain

// Signalling-NaN patterns nobody computes: a write of any kind shows.
V3 sentinel() { return {from_bits(0x7FA12345u), from_bits(0xFFB00001u), from_bits(0x7F8DEAD1u)}; }

const V3 A{-10, 0, -10}, B{10, 0, -10}, C{-10, 0, 10}, D{10, 0, 10};

// The demo's level, corners in strip order.
const V3 LEVEL[8][4] = {
    {{-10, 0, -10}, {10, 0, -10}, {-10, 0, 10}, {10, 0, 10}},
    {{-6, 0, 10}, {0, 4, 10}, {-6, 0, 6}, {0, 4, 6}},
    {{0, 4, 10}, {10, 4, 10}, {0, 4, 6}, {10, 4, 6}},
    {{10, 4, 6}, {10, 4, -10}, {6, 4, 6}, {6, 4, -10}},
    {{-10, 4, -10}, {6, 4, -10}, {-10, 4, -2}, {6, 4, -2}},
    {{-10, 4, 10}, {-10, 4, -2}, {-6, 4, 10}, {-6, 4, -2}},
    {{6, 4, -10}, {0, 8, -10}, {6, 4, -6}, {0, 8, -6}},
    {{-10, 8, -10}, {0, 8, -10}, {-10, 8, -6}, {0, 8, -6}},
};

// ---------------------------------------------------------------------------

TEST(FloorSquare, SecondTriangleAcceptsAPointBeyondTheDiagonal) {
  V3 out = sentinel();
  EXPECT_FALSE(LINEINTRIANGLE({1, 5, 2}, {1, -5, 2}, A, B, C, out));
  EXPECT_TRUE(same_bits(out, sentinel()));
  EXPECT_TRUE(LINEINTRIANGLE({1, 5, 2}, {1, -5, 2}, C, B, D, out));
  EXPECT_TRUE(same_bits(out, V3{1, 0, 2})) << show(out);
  out = sentinel();
  EXPECT_TRUE(LINEINQUAD({1, 5, 2}, {1, -5, 2}, A, B, C, D, out));
  EXPECT_TRUE(same_bits(out, V3{1, 0, 2})) << show(out);
}

TEST(FloorSquare, FirstTriangleAlreadyReports) {
  V3 out = sentinel();
  EXPECT_TRUE(LINEINTRIANGLE({-1, 5, -2}, {-1, -5, -2}, A, B, C, out));
  EXPECT_TRUE(same_bits(out, V3{-1, 0, -2})) << show(out);
  out = sentinel();
  EXPECT_TRUE(LINEINQUAD({-1, 5, -2}, {-1, -5, -2}, A, B, C, D, out));
  EXPECT_TRUE(same_bits(out, V3{-1, 0, -2})) << show(out);
}

struct SegmentCase {
  const char* what;
  V3 p1, p2;
  V3 a, b, c, d;
  bool quad;  // false: triangle a, b, c
  bool hit;
  V3 point;   // expected on a hit
};

void PrintTo(const SegmentCase& k, std::ostream* os) { *os << k.what; }

const float TINY = 1e-30f;
const float JUST_BELOW = std::nextafter(0.0f, -1.0f);

const SegmentCase SEGMENTS[] = {
    {"through an edge", {0, 5, -10}, {0, -5, -10}, A, B, C, {}, false, true, {0, 0, -10}},
    {"through the far edge of the second half", {10, 3, 0}, {10, -1, 0}, A, B, C, D, true, true, {10, 0, 0}},
    {"through a corner", {-10, 5, -10}, {-10, -5, -10}, A, B, C, {}, false, true, {-10, 0, -10}},
    {"through the opposite corner", {10, 1, 10}, {10, -1, 10}, A, B, C, D, true, true, {10, 0, 10}},
    {"on the shared diagonal", {2, 5, -2}, {2, -5, -2}, A, B, C, D, true, true, {2, 0, -2}},
    {"slanted, half way", {-4, 2, 0}, {0, -2, 4}, A, B, C, D, true, true, {-2, 0, 2}},
    {"outside the face", {11, 5, 0}, {11, -5, 0}, A, B, C, D, true, false, {}},
    {"ending on the plane, inside", {1, 5, 2}, {1, 0, 2}, A, B, C, D, true, false, {}},
    {"starting on the plane, inside", {1, 0, 2}, {1, -5, 2}, A, B, C, D, true, false, {}},
    {"both ends above", {1, 5, 2}, {1, TINY, 2}, A, B, C, D, true, false, {}},
    {"both ends below", {1, -5, 2}, {1, -TINY, 2}, A, B, C, D, true, false, {}},
    {"one below by the least single", {1, 5, 2}, {1, JUST_BELOW, 2}, A, B, C, D, true, true, {1, 0, 2}},
    {"parallel to the face", {-5, 1, -5}, {5, 1, 5}, A, B, C, D, true, false, {}},
    {"in the plane of the face", {-5, 0, -5}, {5, 0, 5}, A, B, C, D, true, false, {}},
    {"reversed", {1, -5, 2}, {1, 5, 2}, A, B, C, D, true, true, {1, 0, 2}},
    {"reversed winding, first half", {-1, 5, -2}, {-1, -5, -2}, A, C, B, {}, false, true, {-1, 0, -2}},
    {"reversed winding, second half", {1, 5, 2}, {1, -5, 2}, C, D, B, {}, false, true, {1, 0, 2}},
    {"reversed winding, outside", {1, 5, 2}, {1, -5, 2}, A, C, B, {}, false, false, {}},
    {"strip order covers the left quarter", {-5, 5, 0}, {-5, -5, 0}, A, B, C, D, true, true, {-5, 0, 0}},
    {"outline order leaves it uncovered", {-5, 5, 0}, {-5, -5, 0}, A, B, D, C, true, false, {}},
    {"zero length in the face", {1, 0, 2}, {1, 0, 2}, A, B, C, D, true, false, {}},
    {"zero length off the face", {1, 3, 2}, {1, 3, 2}, A, B, C, D, true, false, {}},
    {"collinear corners", {1, 5, 1}, {1, -5, 1}, {0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {}, false, false, {}},
    {"coincident corners", {0, 5, 0}, {0, -5, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, true, false, {}},
    {"segment with a NaN end", {1, NAN, 2}, {1, -5, 2}, A, B, C, D, true, false, {}},
    {"ramp, walker's column", {-5, -1, 7}, {-5, 15, 7}, LEVEL[1][0], LEVEL[1][1], LEVEL[1][2], LEVEL[1][3], true, true, {}},
};

class Segments : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(Segments, AnswerAndPoint) {
  const SegmentCase& k = GetParam();
  V3 out = sentinel();
  const bool hit = k.quad ? LINEINQUAD(k.p1, k.p2, k.a, k.b, k.c, k.d, out)
                          : LINEINTRIANGLE(k.p1, k.p2, k.a, k.b, k.c, out);
  V3 expected = sentinel();
  const bool ref = k.quad ? plain::line_in_quad(k.p1, k.p2, k.a, k.b, k.c, k.d, expected)
                          : plain::line_in_triangle(k.p1, k.p2, k.a, k.b, k.c, expected);
  ASSERT_EQ(hit, k.hit);
  ASSERT_EQ(ref, k.hit);
  EXPECT_TRUE(same_bits(out, expected)) << show(out) << " vs " << show(expected);
  if (!k.hit) {
    EXPECT_TRUE(same_bits(out, sentinel())) << "written on false: " << show(out);
  } else if (k.point.X != 0 || k.point.Y != 0 || k.point.Z != 0) {
    EXPECT_TRUE(same_bits(out, k.point)) << show(out);
  }
  // Prepared faces answer alike.
  V3 prepared = sentinel();
  const bool phit = k.quad ? LINEINPREPAREDQUAD(k.p1, k.p2, PREPAREQUAD(k.a, k.b, k.c, k.d), prepared)
                           : LINEINPREPAREDTRIANGLE(k.p1, k.p2, PREPARETRIANGLE(k.a, k.b, k.c), prepared);
  EXPECT_EQ(phit, k.hit);
  EXPECT_TRUE(same_bits(prepared, out));
}

INSTANTIATE_TEST_SUITE_P(Table, Segments, ::testing::ValuesIn(SEGMENTS),
                         [](const ::testing::TestParamInfo<SegmentCase>& info) {
                           std::string n;
                           for (const char* s = info.param.what; *s; ++s)
                             n += std::isalnum(static_cast<unsigned char>(*s)) ? *s : '_';
                           return n;
                         });

TEST(Segments, ReversalGivesTheSameAnswerAndNearlyTheSamePoint) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> u(-9.5f, 9.5f);
  for (int i = 0; i < 2000; ++i) {
    const V3 p1{u(gen), u(gen) + 10.0f, u(gen)}, p2{u(gen), u(gen) - 10.0f, u(gen)};
    V3 fwd = sentinel(), back = sentinel();
    const bool f = LINEINQUAD(p1, p2, A, B, C, D, fwd);
    const bool b = LINEINQUAD(p2, p1, A, B, C, D, back);
    ASSERT_EQ(f, b);
    if (f) {
      EXPECT_NEAR(fwd.X, back.X, 1e-5f);
      EXPECT_NEAR(fwd.Z, back.Z, 1e-5f);
      EXPECT_NEAR(fwd.Y, 0.0f, 1e-5f);
    }
  }
}

// After a false result the caller's vector is left exactly as it was, in every
// way a test can fail: one side, on the plane, parallel, degenerate, outside.
TEST(Untouched, FalseLeavesTheOutputByteForByte) {
  for (const SegmentCase& k : SEGMENTS) {
    if (k.hit) continue;
    V3 out = sentinel();
    if (k.quad) {
      ASSERT_FALSE(LINEINQUAD(k.p1, k.p2, k.a, k.b, k.c, k.d, out)) << k.what;
      ASSERT_FALSE(LINEINPREPAREDQUAD(k.p1, k.p2, PREPAREQUAD(k.a, k.b, k.c, k.d), out)) << k.what;
    } else {
      ASSERT_FALSE(LINEINTRIANGLE(k.p1, k.p2, k.a, k.b, k.c, out)) << k.what;
    }
    const V3 s = sentinel();
    EXPECT_EQ(std::memcmp(&out, &s, sizeof out), 0) << k.what;
  }
}

// Testing the quads in index order into one variable keeps the last crossing.
TEST(Level, LastCrossingInIndexOrderIsTheHighestSurface) {
  struct Probe {
    float x, z, y;
  };
  const Probe probes[] = {{0, -1, 0}, {-6, -1, 4}, {0, -6, 8}, {5, 8, 4}, {-5, 7, 2.0f / 3.0f}};
  for (const Probe& p : probes) {
    V3 pp = sentinel();
    for (const auto& q : LEVEL) LINEINQUAD({p.x, -1, p.z}, {p.x, 10, p.z}, q[0], q[1], q[2], q[3], pp);
    EXPECT_EQ(pp.X, p.x);
    EXPECT_EQ(pp.Z, p.z);
    EXPECT_NEAR(pp.Y, p.y, 1e-6f) << p.x << ", " << p.z;
  }
}

// ---------------------------------------------------------------------------
// Rounding of the vector operations.

const float E12 = 1.0f + 0x1p-12f;  // its square is a tie between two singles

TEST(Rounding, CrossRoundsOnceFromExtended) {
  // Y1*Z2 = 1 + 2^-11 + 2^-24 lies half way; the other product tips it up.
  const V3 r = CROSS({0, E12, 0x1p-30f}, {0, -0x1p-30f, E12});
  EXPECT_EQ(r.X, 1.0f + 0x1p-11f + 0x1p-23f);
  // Float-by-float arithmetic rounds the tie to even first and loses it.
  const float naive = E12 * E12 - 0x1p-30f * -0x1p-30f;
  EXPECT_NE(naive, r.X);
  // The difference formed in double also lands on the tie.
  const float via_double = float(double(E12) * E12 + 0x1p-60);
  EXPECT_NE(via_double, r.X);
  const V3 p = plain::cross({0, E12, 0x1p-30f}, {0, -0x1p-30f, E12});
  EXPECT_TRUE(same_bits(r, p));
}

TEST(Rounding, DotIsExtendedAndSummedInOrder) {
  // Extended keeps 2^-60 and leaves the tie; double and single lose it.
  EXPECT_EQ(DOT({E12, 0x1p-30f, 0}, {E12, 0x1p-30f, 0}), 1.0f + 0x1p-11f + 0x1p-23f);
  EXPECT_NE(float(double(E12) * E12 + 0x1p-60), 1.0f + 0x1p-11f + 0x1p-23f);
  EXPECT_NE(E12 * E12 + 0x1p-30f * 0x1p-30f, 1.0f + 0x1p-11f + 0x1p-23f);
  // 2^-80 is beyond even the extended significand: the tie is kept and rounds
  // to even, although the exact sum lies above it.
  EXPECT_EQ(DOT({E12, 0x1p-40f, 0}, {E12, 0x1p-40f, 0}), 1.0f + 0x1p-11f);
  // X, then Y, then Z: (1 - 1) + 2^-70 keeps the small term, 1 + (-1 + 2^-70) would not.
  EXPECT_EQ(DOT({1, 1, 0x1p-35f}, {1, -1, 0x1p-35f}), 0x1p-70f);
  EXPECT_EQ(DOT({0x1p-35f, 1, 1}, {0x1p-35f, 1, -1}), 0.0f);
  // The same below the normal singles, where ties have another bit pattern:
  // 5 * 2^-150 lies half way between two subnormals, 2^-210 tips it up.
  EXPECT_EQ(bits(DOT({0x5p-75f, 0, 0x1p-105f}, {0x1p-75f, 0, 0x1p-105f})), 3u);
  EXPECT_EQ(bits(DOT({0x5p-75f, 0, 0}, {0x1p-75f, 0, 0})), 2u);
  // A plain case where single arithmetic differs.
  const V3 u{0.1f, 0.7f, -0.3f}, v{3.3f, 1.9f, 2.2f};
  EXPECT_EQ(bits(DOT(u, v)), bits(plain::dot(u, v)));
}

TEST(Rounding, VecmulFormsTheProductInExtended) {
  // Find a factor whose double product with v lands on a tie that the
  // extended product does not: m = (1 + 2^-24) / v rounded to double.
  int differing = 0;
  for (float v = 3; v < 200; v += 2) {
    const double m = (1.0 + 0x1p-24) / v;
    const float extended = float(LD(v) * m);
    const float ours = VECMUL({v, 0, 0}, m).X;
    EXPECT_EQ(bits(ours), bits(extended)) << v;
    if (float(double(v) * m) != extended) ++differing;
  }
  EXPECT_GT(differing, 0);
  // The factor stays a double: a single factor would round it first.
  const double third = 1.0 / 3.0;
  int rounded_factor_differs = 0;
  for (int v = 1; v < 1000; ++v) {
    const float r = VECMUL({float(v), 0, 0}, third).X;
    EXPECT_EQ(bits(r), bits(float(LD(v) * third)));
    if (r != float(v) * float(third)) ++rounded_factor_differs;
  }
  EXPECT_GT(rounded_factor_differs, 0);
}

TEST(Rounding, NormalizeRoundsTheLengthFirst) {
  // Search small vectors for one where dividing by the unrounded length gives
  // another single; ours must follow the rounded length.
  int differing = 0;
  for (int x = 1; x < 30; ++x)
    for (int y = 0; y < 30; ++y) {
      const V3 v{float(x), float(y), 1.0f};
      const V3 n = NORMALIZE(v);
      EXPECT_TRUE(same_bits(n, plain::normalize(v))) << x << ", " << y;
      const LD len = std::sqrt(LD(x) * x + LD(y) * y + 1);
      if (float(x / len) != n.X) ++differing;
    }
  EXPECT_GT(differing, 0);
  const V3 z = NORMALIZE({0, 0, 0});
  EXPECT_TRUE(std::isnan(z.X) && std::isnan(z.Y) && std::isnan(z.Z));
}

TEST(Rounding, SubAndAddAreCorrectlyRounded) {
  const V3 d = VECSUB({1.0f, 0x1p30f, -0.0f}, {0x1p-30f, -1.0f, 0.0f});
  EXPECT_EQ(d.X, 1.0f);
  EXPECT_EQ(d.Y, 0x1p30f);
  EXPECT_TRUE(std::signbit(d.Z));
  const V3 s = VECADD({0.1f, 1e30f, 3}, {0.2f, -1e30f, 4});
  EXPECT_EQ(s.X, float(LD(0.1f) + 0.2f));
  EXPECT_EQ(s.Y, 0.0f);
  EXPECT_EQ(s.Z, 7.0f);
}

// ---------------------------------------------------------------------------
// Bit identity with the plain version.

float sparse_float(std::mt19937_64& g, int emin, int emax) {
  // One to four significant bits: products and sums then meet ties often.
  uint32_t mant = 0;
  const int n = 1 + int(g() % 4);
  for (int i = 0; i < n; ++i) mant |= 1u << (g() % 23);
  if (g() & 1) mant = 0;
  const int e = emin + int(g() % uint64_t(emax - emin + 1));
  const uint32_t b = (uint32_t(g() & 1) << 31) | (uint32_t(e + 127) << 23) | mant;
  return from_bits(b);
}

float wide_float(std::mt19937_64& g) {
  // Any finite single, subnormals included.
  for (;;) {
    const float f = from_bits(uint32_t(g()));
    if (std::isfinite(f)) return f;
  }
}

TEST(BitIdentity, VectorOperations) {
  std::mt19937_64 g(20240611);
  for (int i = 0; i < 400000; ++i) {
    V3 u, v;
    float* f = &u.X;
    float* h = &v.X;
    const int kind = i % 4;
    for (int k = 0; k < 3; ++k) {
      switch (kind) {
        case 0: f[k] = wide_float(g); h[k] = wide_float(g); break;
        case 1: f[k] = sparse_float(g, -40, 40); h[k] = sparse_float(g, -40, 40); break;
        case 2: f[k] = sparse_float(g, -140, -100); h[k] = sparse_float(g, -30, 30); break;
        default: f[k] = float(int(g() % 41) - 20) * 0.25f; h[k] = sparse_float(g, -3, 3); break;
      }
    }
    ASSERT_TRUE(same_bits(CROSS(u, v), plain::cross(u, v))) << show(u) << show(v);
    ASSERT_EQ(bits(DOT(u, v)), bits(plain::dot(u, v))) << show(u) << show(v);
    ASSERT_TRUE(same_bits(VECSUB(u, v), plain::sub(u, v)));
    ASSERT_TRUE(same_bits(VECADD(u, v), plain::add(u, v)));
    const V3 n = NORMALIZE(u), pn = plain::normalize(u);
    const bool both_nan = std::isnan(n.X) && std::isnan(pn.X);
    ASSERT_TRUE(both_nan || same_bits(n, pn)) << show(u) << show(n) << show(pn);
    double m;
    if (kind == 1) {
      m = (1.0 + std::ldexp(double(g() % 1024), -34)) / double(2 * (g() % 64) + 3);
    } else {
      m = std::ldexp(double(g() >> 11) * 0x1p-53, int(g() % 60) - 30);
    }
    ASSERT_TRUE(same_bits(VECMUL(u, m), plain::mul(u, m))) << show(u) << m;
  }
}

struct Case {
  V3 p1, p2, a, b, c, d;
};

Case make_case(std::mt19937_64& g, int kind) {
  std::uniform_real_distribution<float> big(-20.0f, 20.0f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  auto rv = [&] { return V3{big(g), big(g), big(g)}; };
  auto iv = [&](int r) {
    return V3{float(int(g() % (2 * r + 1)) - r), float(int(g() % (2 * r + 1)) - r),
              float(int(g() % (2 * r + 1)) - r)};
  };
  Case k{};
  switch (kind) {
    case 0:  // anything
      k = {rv(), rv(), rv(), rv(), rv(), rv()};
      break;
    case 1: {  // near-degenerate corners
      k.a = rv();
      k.b = rv();
      const float s = big(g) * 0.1f;
      const float eps = std::ldexp(1.0f, -int(g() % 30));
      k.c = VECADD(k.a, VECMUL(VECSUB(k.b, k.a), s));
      if (g() & 1) k.c.Y += (g() & 1) ? eps : -eps;
      k.d = VECADD(k.c, VECMUL(VECSUB(k.b, k.a), 0.5));
      k.p1 = rv();
      k.p2 = rv();
      break;
    }
    case 2: {  // axis-aligned faces on integer coordinates, segments along an axis
      const int axis = int(g() % 3);
      const float level = float(int(g() % 9) - 4);
      const V3 lo = iv(6), ext{float(1 + g() % 8), float(1 + g() % 8), float(1 + g() % 8)};
      auto corner = [&](float s, float t) {
        V3 p;
        float* f = &p.X;
        f[axis] = level;
        f[(axis + 1) % 3] = (&lo.X)[(axis + 1) % 3] + s * (&ext.X)[(axis + 1) % 3];
        f[(axis + 2) % 3] = (&lo.X)[(axis + 2) % 3] + t * (&ext.X)[(axis + 2) % 3];
        return p;
      };
      k.a = corner(0, 0);
      k.b = corner(1, 0);
      k.c = corner(0, 1);
      k.d = corner(1, 1);
      V3 p = iv(8);
      if (g() % 3 == 0) p = {p.X * 0.5f, p.Y * 0.5f, p.Z * 0.5f};
      k.p1 = k.p2 = p;
      (&k.p1.X)[axis] = level + float(int(g() % 6)) - 1.0f;
      (&k.p2.X)[axis] = level - float(int(g() % 6)) + 1.0f;
      break;
    }
    case 3: {  // the level's quads, columns and slanted eye segments
      const auto& q = LEVEL[g() % 8];
      k = {{}, {}, q[0], q[1], q[2], q[3]};
      const float x = (g() & 1) ? float(int(g() % 19) - 9) : big(g) * 0.5f;
      const float z = (g() & 1) ? float(int(g() % 19) - 9) : big(g) * 0.5f;
      k.p1 = {x, -1, z};
      if (g() & 1) {
        k.p2 = {x, 10, z};
      } else {
        k.p2 = {x + 0.1f * float(int(g() % 3) - 1), float(int(g() % 12)) + unit(g) * 0.25f,
                z + 0.1f * float(int(g() % 3) - 1)};
      }
      break;
    }
    case 4: {  // ends a hair from the plane of a random face
      k = {{}, {}, rv(), rv(), rv(), rv()};
      const V3 n = NORMALIZE(CROSS(VECSUB(k.b, k.a), VECSUB(k.c, k.a)));
      const V3 in = VECADD(k.a, VECMUL(VECADD(VECSUB(k.b, k.a), VECSUB(k.c, k.a)), unit(g) * 0.5));
      const double h = std::ldexp(1.0, -int(g() % 40));
      k.p1 = VECADD(in, VECMUL(n, h));
      k.p2 = VECSUB(in, VECMUL(n, (g() & 1) ? h : big(g)));
      k.d = VECADD(k.b, VECSUB(k.c, k.a));
      break;
    }
    default: {  // sparse values: ties in every rounding
      auto sv = [&] { return V3{sparse_float(g, -6, 4), sparse_float(g, -6, 4), sparse_float(g, -6, 4)}; };
      k = {sv(), sv(), sv(), sv(), sv(), sv()};
      break;
    }
  }
  return k;
}

TEST(BitIdentity, QuadsAndTrianglesAgainstPlainExtended) {
  std::mt19937_64 g(0x5eed);
  long hits = 0, total = 0;
  for (int i = 0; i < 2000000; ++i) {
    const Case k = make_case(g, i % 6);
    V3 ours = sentinel(), ref = sentinel(), prep = sentinel();
    const bool r1 = LINEINQUAD(k.p1, k.p2, k.a, k.b, k.c, k.d, ours);
    const bool r2 = plain::line_in_quad(k.p1, k.p2, k.a, k.b, k.c, k.d, ref);
    ASSERT_EQ(r1, r2) << i << ": " << show(k.p1) << show(k.p2) << show(k.a) << show(k.b) << show(k.c);
    ASSERT_TRUE(same_bits(ours, ref)) << i << ": " << show(ours) << " vs " << show(ref);
    const bool r3 = LINEINPREPAREDQUAD(k.p1, k.p2, PREPAREQUAD(k.a, k.b, k.c, k.d), prep);
    ASSERT_EQ(r3, r2) << i;
    ASSERT_TRUE(same_bits(prep, ref)) << i;
    hits += r1;
    ++total;
  }
  // Both answers must be well represented for the comparison to mean anything.
  EXPECT_GT(hits, total / 10);
  EXPECT_LT(hits, total * 9 / 10);
}

// ---------------------------------------------------------------------------
// Prepared faces: the quick miss proof and the sign-only edge tests.

// Segments that pass just outside an edge, slanted so that the crossing
// point is rounded, at scales down to where the edge products are subnormal
// singles: the quick miss proof must never reject what the plain test
// accepts, and the edge signs must come out as the rounded dot products say.
TEST(PreparedEdges, SegmentsGrazingAnEdgeAtEveryScale) {
  std::mt19937_64 g(0xed9e);
  std::uniform_real_distribution<double> u(-8.0, 8.0), s01(0.15, 0.85), unit(0.0, 1.0);
  long accepted_outside = 0, on_edge_or_inside = 0, hits = 0, total = 0;
  for (int i = 0; i < 300000; ++i) {
    const int scales[] = {0, 0, 0, -10, -40, -62};
    const int e = scales[g() % 6];
    auto pt = [&] { return V3{float(std::ldexp(u(g), e)), float(std::ldexp(u(g), e)), float(std::ldexp(u(g), e))}; };
    const V3 a = pt(), b = pt(), c = pt();
    const TPREPAREDTRIANGLE t = PREPARETRIANGLE(a, b, c);
    // Outward across edge A->B, in the plane, and the normal, in long double.
    const LD tl = std::sqrt(LD(t.TEST1.X) * t.TEST1.X + LD(t.TEST1.Y) * t.TEST1.Y + LD(t.TEST1.Z) * t.TEST1.Z);
    if (!(tl > 0) || !std::isfinite(double(tl))) continue;
    const LD o[3] = {-t.TEST1.X / tl, -t.TEST1.Y / tl, -t.TEST1.Z / tl};
    const LD n[3] = {t.NORM.X, t.NORM.Y, t.NORM.Z};
    const LD ab[3] = {LD(b.X) - a.X, LD(b.Y) - a.Y, LD(b.Z) - a.Z};
    const LD ulp = std::ldexp(1.0L, e - 20);  // about a unit in the last place of the corners
    auto end = [&](LD along, LD out, LD up) {
      return V3{float(a.X + along * ab[0] + out * o[0] + up * n[0]),
                float(a.Y + along * ab[1] + out * o[1] + up * n[1]),
                float(a.Z + along * ab[2] + out * o[2] + up * n[2])};
    };
    const LD h = std::ldexp(1.0L, e) * LD(0.01 + unit(g));
    const LD out1 = ulp * LD(unit(g) * 4 - 1), out2 = (g() & 1) ? out1 : ulp * LD(unit(g) * 4 - 1);
    const V3 p1 = end(s01(g), out1, h), p2 = end(s01(g), out2, -h * LD(0.01 + unit(g)));
    V3 prep = sentinel(), ref = sentinel();
    const bool r = LINEINPREPAREDTRIANGLE(p1, p2, t, prep);
    const bool rr = plain::line_in_triangle(p1, p2, a, b, c, ref);
    ASSERT_EQ(r, rr) << i << ": " << show(p1) << show(p2) << show(a) << show(b) << show(c);
    ASSERT_TRUE(same_bits(prep, ref)) << i << ": " << show(prep) << " vs " << show(ref);
    // How far outside edge A->B the ends are, exactly enough to count.
    auto side = [&](LD x, LD y, LD z) {
      return LD(t.TEST1.X) * (x - a.X) + LD(t.TEST1.Y) * (y - a.Y) + LD(t.TEST1.Z) * (z - a.Z);
    };
    const V3 d = plain::sub(p2, p1);
    const LD f1 = side(p1.X, p1.Y, p1.Z), f2 = side(LD(p1.X) + d.X, LD(p1.Y) + d.Y, LD(p1.Z) + d.Z);
    if (rr && f1 < 0 && f2 < 0) ++accepted_outside;
    if (f1 >= 0 || f2 >= 0) ++on_edge_or_inside;
    hits += rr;
    ++total;
  }
  // Rounding carries the point across the edge often enough for the proof's
  // margin to matter, and both answers are common.
  EXPECT_GT(accepted_outside, 100);
  EXPECT_GT(hits, total / 10);
  EXPECT_LT(hits, total * 9 / 10);
  EXPECT_GT(on_edge_or_inside, total / 10);
}

// The edge test decides on the sign of a rounded single, and a long double
// sum in (-2^-150, 0] rounds to -0 or 0, neither below 0. A made-up record
// puts chosen sums into the second edge test: corner A at the origin with
// the normal up, the segment straight down through (x, 0, z), edges 1 and 3
// switched off (TEST vectors of zero pass everything), and edge 2 with TEST
// u and reference corner B = (0, -wy, 0), so that the sum is u . (x, wy, z).
TPREPAREDTRIANGLE sum_probe(V3 test) {
  TPREPAREDTRIANGLE t = PREPARETRIANGLE({0, 0, 0}, {1, 0, 0}, {0, 0, 1});
  t.A = {0, 0, 0};
  t.NORM = {0, 1, 0};
  t.TEST1 = t.TEST3 = {0, 0, 0};
  t.TEST2 = test;
  return t;
}

// What PREPARETRIANGLE works out from the single fields, as the header
// describes it.
void complete(TPREPAREDTRIANGLE& t) {
  const V3 test[3] = {t.TEST1, t.TEST2, t.TEST3};
  const V3 corner[3] = {t.A, t.B, t.A};
  for (int i = 0; i < 3; ++i) {
    const double x = test[i].X, y = test[i].Y, z = test[i].Z;
    t.EDGE[i][0] = x;
    t.EDGE[i][1] = y;
    t.EDGE[i][2] = z;
    t.EDGE[i][3] = (x * corner[i].X + y * corner[i].Y) + z * corner[i].Z;
    t.EDGESIZE[i] = (std::fabs(x) + std::fabs(y)) + std::fabs(z);
  }
  double reach = 0;
  for (float f : {t.A.X, t.A.Y, t.A.Z, t.B.X, t.B.Y, t.B.Z}) reach = std::max(reach, double(std::fabs(f)));
  t.REACH = reach;
}

struct SumCase {
  V3 u, w;
};

// Passes through the prepared test, against the plain long double steps;
// returns the reference answer.
// The segment runs from height h to -h: with a tiny h and tiny sums nothing
// in the miss proof's margin is larger than the rounding to zero itself.
bool check_sum(const SumCase& k, int i) {
  TPREPAREDTRIANGLE t = sum_probe(k.u);
  t.B = {0, -k.w.Y, 0};
  complete(t);
  bool answer = false;
  for (const float h : {1.0f, 0x1p-100f}) {
    const V3 p1{k.w.X, h, k.w.Z}, p2{k.w.X, -h, k.w.Z};
    V3 ours = sentinel(), ref = sentinel();
    const bool r = LINEINPREPAREDTRIANGLE(p1, p2, t, ours);
    answer = plain::line_in_prepared(p1, p2, t, ref);
    EXPECT_EQ(r, answer) << i << ": " << show(k.u) << show(k.w) << " h " << h << " sum "
                         << double(plain::dot(k.u, k.w));
    EXPECT_TRUE(same_bits(ours, ref)) << i;
  }
  return answer;
}

TEST(PreparedEdges, SumsAtTheRoundingToZero) {
  const float s = 0x1p-75f;
  const float up = 1 + 0x1p-23f;
  const SumCase cases[] = {
      {{s, 0, -s}, {s, 0, s}},                        // exactly 0
      {{s * up, 0, -s}, {s, 0, s}},                   // +2^-173: +0
      {{s, 0, -s * up}, {s, 0, s}},                   // -2^-173: -0, not below
      {{s, 0, -2 * s}, {s, 0, s}},                    // -2^-150, the tie: -0
      {{s * up, 0, -2 * s}, {s, 0, s}},               // just above the tie: -0
      {{s, 0, -2 * s * up}, {s, 0, s}},               // just below the tie: -2^-149
      {{s, 0, -4 * s}, {s, 0, s}},                    // -3 * 2^-150: -2^-148
      {{s, s, -2.5f * s}, {s, s, s}},                 // -2^-151: -0
      {{0x1p-100f, 0, 0}, {-0x1p-49f, 0, 0}},         // -2^-149 exactly
      {{0x1p-100f, 0, 0}, {-0x1p-50f, 0, 0}},         // -2^-150 exactly
      {{0x1p-100f, 0, 0}, {-0x1.8p-50f, 0, 0}},       // -1.5 * 2^-150
      {{1, 0x1p-60f, -1}, {1, 0x1p-10f, 1}},          // 1 + 2^-70 is 1 in extended: 0
      {{1, 0x1p-50f, -1}, {1, 0x1p-10f, 1}},          // 2^-60, lost in double, kept in extended
      {{1, -0x1p-50f, -1}, {1, 0x1p-10f, 1}},         // -2^-60
      {{1, 1, -1}, {1, 0x1p-54f, 1 + 0x1p-23f}},      // inexact first sum, exact value below
  };
  int below = 0;
  for (int i = 0; i < int(sizeof cases / sizeof cases[0]); ++i) below += !check_sum(cases[i], i);
  EXPECT_EQ(below, 6);
}

// Random sums built to cancel: two products that nearly cancel, scaled down
// into the subnormal results, and three products whose first sum is inexact
// in double and leaves a residue near its rounding error.
TEST(PreparedEdges, CancellingSums) {
  std::mt19937_64 g(0xca9ce1);
  std::uniform_real_distribution<float> mant(1.0f, 2.0f);
  long tiny = 0, flipped = 0, flipped_tiny = 0, below = 0;
  for (int i = 0; i < 400000; ++i) {
    SumCase k{};
    if (i % 2 == 0) {
      const int e = -int(g() % 76);
      const float x = std::ldexp(mant(g), e), z = std::ldexp(mant(g), e + int(g() % 5) - 2);
      const float a = std::ldexp((g() & 1) ? mant(g) : -mant(g), -int(g() % 70));
      float c = float(-LD(a) * x / z);
      const int nudge = int(g() % 5) - 2;
      for (int n = 0; n < std::abs(nudge); ++n) c = std::nextafter(c, nudge > 0 ? 10.0f : -10.0f);
      k = {{a, 0, c}, {x, 0, z}};
    } else {
      // u = (2^ea, b, -2^ea), w = (x, wy, z) with z = x + k ulp(x),
      // b = k 2^(ea-23) (1 + beta 2^-23) and wy = 2^ex (1 + gamma 2^-23):
      // the sum is k 2^(ea+ex-46) (m + (m - gamma) gamma 2^-23), which with
      // m = beta + gamma in {-1, 0, 1} comes within the double's rounding
      // error of the first partial sum, on either side.
      const int ea = int(g() % 41) - 20, ex = int(g() % 41) - 20;
      const int ks[] = {-2, -1, 1, 2};
      const int kk = ks[g() % 4], m = int(g() % 3) - 1, gamma = int(g() % 6001) - 3000;
      const int beta = m - gamma;
      const float x0 = 1.01f + 0.98f * (mant(g) - 1.0f);
      const float x = std::ldexp(x0, ex), z = std::ldexp(x0 + kk * 0x1p-23f, ex);
      const float a = std::ldexp(1.0f, ea);
      const float b = std::ldexp(float(kk) * (1.0f + float(beta) * 0x1p-23f), ea - 23);
      const float wy = std::ldexp(1.0f + float(gamma) * 0x1p-23f, ex);
      k = {{a, b, -a}, {x, wy, z}};
    }
    const bool passed = check_sum(k, i);
    if (::testing::Test::HasFailure()) return;
    below += !passed;
    const LD exact = LD(k.u.X) * k.w.X + LD(k.u.Y) * k.w.Y + LD(k.u.Z) * k.w.Z;
    if (exact != 0 && std::fabs(exact) < 0x1p-140L) ++tiny;
    const double dbl = (double(k.u.X) * k.w.X + double(k.u.Y) * k.w.Y) + double(k.u.Z) * k.w.Z;
    if ((dbl < 0) != (plain::dot(k.u, k.w) < 0)) ++(std::fabs(exact) < 0x1p-140L ? flipped_tiny : flipped);
  }
  // The cases reach where a plain double sign would be wrong, both through
  // the rounding to zero and through the double's own rounding.
  EXPECT_GT(tiny, 1000);
  EXPECT_GT(flipped_tiny, 100);
  EXPECT_GT(flipped, 100);
  EXPECT_GT(below, 40000);
  EXPECT_LT(below, 360000);
}

// One segment against a table of prepared quads, against the plain loops:
// in index order into one variable, and stopping at the first crossing.
void check_table(const V3 (&corners)[8][4], V3 p1, V3 p2, int i) {
  TPREPAREDQUAD quads[8];
  for (int q = 0; q < 8; ++q) quads[q] = PREPAREQUAD(corners[q][0], corners[q][1], corners[q][2], corners[q][3]);
  V3 last_ref = sentinel(), first_ref = sentinel();
  int last_index = -1, first_index = -1;
  for (int q = 0; q < 8; ++q)
    if (plain::line_in_quad(p1, p2, corners[q][0], corners[q][1], corners[q][2], corners[q][3], last_ref))
      last_index = q;
  for (int q = 0; q < 8 && first_index < 0; ++q)
    if (plain::line_in_quad(p1, p2, corners[q][0], corners[q][1], corners[q][2], corners[q][3], first_ref))
      first_index = q;
  V3 last = sentinel(), first = sentinel();
  ASSERT_EQ(LASTPREPAREDQUAD(p1, p2, quads, 8, last), last_index) << i;
  ASSERT_TRUE(same_bits(last, last_ref)) << i << ": " << show(last) << " vs " << show(last_ref);
  ASSERT_EQ(FIRSTPREPAREDQUAD(p1, p2, quads, 8, first), first_index) << i;
  ASSERT_TRUE(same_bits(first, first_ref)) << i << ": " << show(first) << " vs " << show(first_ref);
}

TEST(BitIdentity, TablesOfPreparedQuads) {
  std::mt19937_64 g(0x7ab1e5);
  for (int i = 0; i < 100000; ++i) {
    V3 corners[8][4];
    const int kind = i % 6;
    for (auto& q : corners) {
      const Case k = make_case(g, kind);
      q[0] = k.a, q[1] = k.b, q[2] = k.c, q[3] = k.d;
    }
    // Faces of one kind share a place and a scale, so a segment often meets several.
    const Case k = make_case(g, kind);
    check_table(corners, k.p1, k.p2, i);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// The level with the demo's segments: columns on and off the grid and the
// slanted eye segments, the case mix that runs every frame.
TEST(BitIdentity, LevelTableWithTheDemosSegments) {
  std::mt19937_64 g(0x1e7e1);
  for (int i = 0; i < 200000; ++i) {
    const Case k = make_case(g, 3);
    check_table(LEVEL, k.p1, k.p2, i);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
