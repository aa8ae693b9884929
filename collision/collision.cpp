// Segment/triangle and segment/quad intersection.
//
// Each result is defined by extended-precision evaluation (see the header).
// Extended arithmetic runs on the x87 unit and is slow, so every operation is
// first worked out in double precision and the double value is used when it
// provably rounds to the same single:
//
//  * Products of two singles (48 significant bits) are exact in double, and so
//    in extended precision too.
//  * When a double result and the extended result are the correct roundings
//    of one and the same real number x, they round to different singles only
//    if a rounding boundary of the singles (a midpoint between two
//    neighbouring singles) lies between x and the double value. Every such
//    midpoint is itself a double, and rounding is monotonic, so the double
//    value then IS that midpoint. A double that is no midpoint is therefore
//    safe; a midpoint, or anything below the normal range of singles (where
//    midpoints have another bit pattern), or an infinity or NaN, goes the
//    extended way.
//  * For a sum of three products the first sum must be exact for both
//    evaluations to be roundings of one real number; exactness is checked
//    (s - a == b and s - b == a holds exactly when s = a + b without
//    rounding), and the extended way is taken otherwise.
//
// Sums and differences of two singles and quotients of two singles are the
// same whether rounded once or through extended precision (64 >= 2*24 + 2),
// so they are done in single precision directly.
#include <tvx_collision/collision.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace TVX_Collision {

namespace {

using V3 = TGLVECTOR;

#define TVX_UNLIKELY(x) __builtin_expect(!!(x), 0)
#define TVX_INLINE inline __attribute__((always_inline))

// True when d might round to another single than the extended-precision
// rounding of the same real number would.
TVX_INLINE bool doubtful(double d) {
  const uint64_t b = std::bit_cast<uint64_t>(d);
  const unsigned e = static_cast<unsigned>(b >> 52) & 0x7FFu;
  // Low 29 bits are those a single drops; 1 followed by zeros is a midpoint.
  // Exponent 897 is 2^-126, the smallest normal single.
  return (b & 0x1FFFFFFFu) == 0x10000000u || ((e < 897u || e == 0x7FFu) && (b << 1) != 0);
}

TVX_INLINE bool exact_sum(double s, double a, double b) {
  return s - a == b && s - b == a;
}

TVX_INLINE V3 sub(V3 a, V3 b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
TVX_INLINE V3 add(V3 a, V3 b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }

__attribute__((noinline)) float mul_extended(float v, double m) {
  return static_cast<float>(static_cast<long double>(v) * m);
}

TVX_INLINE float mul1(float v, double m) {
  const double r = static_cast<double>(v) * m;
  if (TVX_UNLIKELY(doubtful(r))) return mul_extended(v, m);
  return static_cast<float>(r);
}

TVX_INLINE V3 mul(V3 v, double m) { return {mul1(v.X, m), mul1(v.Y, m), mul1(v.Z, m)}; }

__attribute__((noinline)) float diff_extended(float a, float b, float c, float d) {
  return static_cast<float>(static_cast<long double>(a) * b - static_cast<long double>(c) * d);
}

// a*b - c*d
TVX_INLINE float diff_of_products(float a, float b, float c, float d) {
  const double r = static_cast<double>(a) * b - static_cast<double>(c) * d;
  if (TVX_UNLIKELY(doubtful(r))) return diff_extended(a, b, c, d);
  return static_cast<float>(r);
}

TVX_INLINE V3 cross(V3 u, V3 v) {
  return {diff_of_products(u.Y, v.Z, u.Z, v.Y), diff_of_products(u.Z, v.X, u.X, v.Z),
          diff_of_products(u.X, v.Y, u.Y, v.X)};
}

__attribute__((noinline)) float dot_extended(V3 u, V3 v) {
  const long double s = static_cast<long double>(u.X) * v.X + static_cast<long double>(u.Y) * v.Y;
  return static_cast<float>(s + static_cast<long double>(u.Z) * v.Z);
}

TVX_INLINE float dot(V3 u, V3 v) {
  const double px = static_cast<double>(u.X) * v.X;
  const double py = static_cast<double>(u.Y) * v.Y;
  const double pz = static_cast<double>(u.Z) * v.Z;
  const double s1 = px + py;
  const double s = s1 + pz;
  if (TVX_UNLIKELY(!exact_sum(s1, px, py) || doubtful(s))) return dot_extended(u, v);
  return static_cast<float>(s);
}

__attribute__((noinline)) float length_extended(V3 v) {
  const long double s = static_cast<long double>(v.X) * v.X + static_cast<long double>(v.Y) * v.Y;
  return static_cast<float>(__builtin_sqrtl(s + static_cast<long double>(v.Z) * v.Z));
}

TVX_INLINE V3 normalize(V3 v) {
  const double xx = static_cast<double>(v.X) * v.X;
  const double yy = static_cast<double>(v.Y) * v.Y;
  const double zz = static_cast<double>(v.Z) * v.Z;
  const double s1 = xx + yy;
  const double s = s1 + zz;
  float length;
  // With the sum exact, both square roots are roundings of one real number.
  if (exact_sum(s1, xx, yy) && exact_sum(s, s1, zz)) {
    const double r = __builtin_sqrt(s);
    length = TVX_UNLIKELY(doubtful(r)) ? length_extended(v) : static_cast<float>(r);
  } else {
    length = length_extended(v);
  }
  return {v.X / length, v.Y / length, v.Z / length};
}

// The segment-dependent half of the triangle test. Corners A and B serve as
// the edges' reference points (C->A is referred to A as well).
TVX_INLINE bool crossing(V3 p1, V3 p2, V3 a, V3 norm, V3& point) {
  const float dist1 = dot(sub(p1, a), norm);
  const float dist2 = dot(sub(p2, a), norm);
  // Strictly opposite signs; zeros and NaN fail.
  if (!((dist1 > 0.0f && dist2 < 0.0f) || (dist1 < 0.0f && dist2 > 0.0f))) return false;
  const double t = -static_cast<double>(dist1) /
                   (static_cast<double>(dist2) - static_cast<double>(dist1));
  point = add(p1, mul(sub(p2, p1), t));
  return true;
}

TVX_INLINE bool line_in_triangle(V3 p1, V3 p2, V3 a, V3 b, V3 c, V3& intersection) {
  const V3 ab = sub(b, a);
  const V3 norm = normalize(cross(ab, sub(c, a)));
  V3 point;
  if (!crossing(p1, p2, a, norm, point)) return false;
  // A NaN dot product is no proof of being outside, so it passes.
  if (dot(cross(norm, ab), sub(point, a)) < 0.0f) return false;
  if (dot(cross(norm, sub(c, b)), sub(point, b)) < 0.0f) return false;
  if (dot(cross(norm, sub(a, c)), sub(point, a)) < 0.0f) return false;
  intersection = point;
  return true;
}

TVX_INLINE bool line_in_prepared(V3 p1, V3 p2, const TPREPAREDTRIANGLE& t, V3& intersection) {
  V3 point;
  if (!crossing(p1, p2, t.A, t.NORM, point)) return false;
  if (dot(t.TEST1, sub(point, t.A)) < 0.0f) return false;
  if (dot(t.TEST2, sub(point, t.B)) < 0.0f) return false;
  if (dot(t.TEST3, sub(point, t.A)) < 0.0f) return false;
  intersection = point;
  return true;
}

}  // namespace

TGLVECTOR VECSUB(TGLVECTOR POINT1, TGLVECTOR POINT2) { return sub(POINT1, POINT2); }
TGLVECTOR VECADD(TGLVECTOR POINT1, TGLVECTOR POINT2) { return add(POINT1, POINT2); }
TGLVECTOR VECMUL(TGLVECTOR V, double M) { return mul(V, M); }
TGLVECTOR CROSS(TGLVECTOR VEC1, TGLVECTOR VEC2) { return cross(VEC1, VEC2); }
float DOT(TGLVECTOR VEC1, TGLVECTOR VEC2) { return dot(VEC1, VEC2); }
TGLVECTOR NORMALIZE(TGLVECTOR V) { return normalize(V); }

bool LINEINTRIANGLE(TGLVECTOR P1, TGLVECTOR P2, TGLVECTOR A, TGLVECTOR B, TGLVECTOR C,
                    TGLVECTOR& INTERSECTION) {
  return line_in_triangle(P1, P2, A, B, C, INTERSECTION);
}

bool LINEINQUAD(TGLVECTOR P1, TGLVECTOR P2, TGLVECTOR A, TGLVECTOR B, TGLVECTOR C,
                TGLVECTOR D, TGLVECTOR& INTERSECTION) {
  if (line_in_triangle(P1, P2, A, B, C, INTERSECTION)) return true;
  return line_in_triangle(P1, P2, C, B, D, INTERSECTION);
}

TPREPAREDTRIANGLE PREPARETRIANGLE(TGLVECTOR A, TGLVECTOR B, TGLVECTOR C) {
  TPREPAREDTRIANGLE t;
  t.A = A;
  t.B = B;
  t.NORM = normalize(cross(sub(B, A), sub(C, A)));
  t.TEST1 = cross(t.NORM, sub(B, A));
  t.TEST2 = cross(t.NORM, sub(C, B));
  t.TEST3 = cross(t.NORM, sub(A, C));
  return t;
}

TPREPAREDQUAD PREPAREQUAD(TGLVECTOR A, TGLVECTOR B, TGLVECTOR C, TGLVECTOR D) {
  return {PREPARETRIANGLE(A, B, C), PREPARETRIANGLE(C, B, D)};
}

bool LINEINPREPAREDTRIANGLE(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDTRIANGLE& T,
                            TGLVECTOR& INTERSECTION) {
  return line_in_prepared(P1, P2, T, INTERSECTION);
}

bool LINEINPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD& Q,
                        TGLVECTOR& INTERSECTION) {
  if (line_in_prepared(P1, P2, Q.FIRST, INTERSECTION)) return true;
  return line_in_prepared(P1, P2, Q.SECOND, INTERSECTION);
}

}  // namespace TVX_Collision
