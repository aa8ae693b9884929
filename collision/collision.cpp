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
// the edges' reference points (C->A is referred to A as well). dir is
// sub(p2, p1), which callers testing one segment against many faces work out
// once.
TVX_INLINE bool crossing(V3 p1, V3 p2, V3 dir, V3 a, V3 norm, V3& point) {
  const float dist1 = dot(sub(p1, a), norm);
  const float dist2 = dot(sub(p2, a), norm);
  // Strictly opposite signs; zeros and NaN fail. The product of two singles
  // is exact in double (and never underflows to zero there), so its sign is
  // the sign of the exact product.
  if (!(static_cast<double>(dist1) * static_cast<double>(dist2) < 0.0)) return false;
  const double t = -static_cast<double>(dist1) /
                   (static_cast<double>(dist2) - static_cast<double>(dist1));
  point = add(p1, mul(dir, t));
  return true;
}

// Whether DOT(u, v) < 0, decided from the sign of the double sum where that
// is provably the sign of the single that DOT returns.
//
// The products are exact in double and in extended precision alike. Against
// their exact sum T, the double sum s is off by at most 2^-53 of each partial
// sum, the extended sum X by at most 2^-64 of each; with S = |px|+|py|+|pz|
// both partial sums are at most S(1 + 2^-52), so |s - X| < 2^-51 S.
// The single rounding of X is below 0 exactly when X < -2^-150 (-2^-150 is
// the tie between -0 and the least negative subnormal and goes to even, -0).
// Hence:
//   s < -(2^-51 S + 2^-150)  =>  X < -2^-150           => DOT < 0;
//   s >   2^-51 S            =>  X > 0                 => DOT >= 0 (maybe +0).
// The bound used, 2^-50 S + 2^-149, is twice what is needed, which covers
// the rounding of S and of the bound themselves (relative 2^-52 at most;
// S >= 2^-298 when nonzero, so the scaling never leaves the normal doubles).
// In between, and for NaN or infinite input (every comparison then fails),
// the extended sum decides.
__attribute__((noinline)) bool dot_below_zero_extended(V3 u, V3 v) {
  return dot_extended(u, v) < 0.0f;
}

TVX_INLINE bool dot_below_zero(V3 u, V3 v) {
  const double px = static_cast<double>(u.X) * v.X;
  const double py = static_cast<double>(u.Y) * v.Y;
  const double pz = static_cast<double>(u.Z) * v.Z;
  const double s = (px + py) + pz;
  const double bound =
      ((__builtin_fabs(px) + __builtin_fabs(py)) + __builtin_fabs(pz)) * 0x1p-50 + 0x1p-149;
  if (s < -bound) return true;
  if (TVX_UNLIKELY(!(s > bound))) return dot_below_zero_extended(u, v);
  return false;
}

TVX_INLINE bool line_in_triangle(V3 p1, V3 p2, V3 a, V3 b, V3 c, V3& intersection) {
  const V3 ab = sub(b, a);
  const V3 norm = normalize(cross(ab, sub(c, a)));
  V3 point;
  if (!crossing(p1, p2, sub(p2, p1), a, norm, point)) return false;
  // A NaN dot product is no proof of being outside, so it passes.
  if (dot_below_zero(cross(norm, ab), sub(point, a))) return false;
  if (dot_below_zero(cross(norm, sub(c, b)), sub(point, b))) return false;
  if (dot_below_zero(cross(norm, sub(a, c)), sub(point, a))) return false;
  intersection = point;
  return true;
}

// The edge tests have no effects, so all three are worked out and the
// answer is false when any one of them says outside, in whatever order.
TVX_INLINE bool line_in_prepared(V3 p1, V3 p2, V3 dir, const TPREPAREDTRIANGLE& t,
                                 V3& intersection) {
  V3 point;
  if (!crossing(p1, p2, dir, t.A, t.NORM, point)) return false;
  const bool out1 = dot_below_zero(t.TEST1, sub(point, t.A));
  const bool out2 = dot_below_zero(t.TEST2, sub(point, t.B));
  const bool out3 = dot_below_zero(t.TEST3, sub(point, t.A));
  if (out1 | out2 | out3) return false;
  intersection = point;
  return true;
}

// A segment, with what the quick miss proof needs of it.
struct segment {
  V3 p1, p2, dir;  // dir = sub(p2, p1)
  double reach;    // the largest |p1.k| + |dir.k|
};

TVX_INLINE segment make_segment(V3 p1, V3 p2) {
  const V3 dir = sub(p2, p1);
  const double gx = __builtin_fabs(static_cast<double>(p1.X)) + __builtin_fabs(static_cast<double>(dir.X));
  const double gy = __builtin_fabs(static_cast<double>(p1.Y)) + __builtin_fabs(static_cast<double>(dir.Y));
  const double gz = __builtin_fabs(static_cast<double>(p1.Z)) + __builtin_fabs(static_cast<double>(dir.Z));
  // A NaN coordinate may be passed over here: it makes the dot products of
  // the miss proof NaN, and they then prove nothing.
  double g = gx > gy ? gx : gy;
  g = gz > g ? gz : g;
  return {p1, p2, dir, g};
}

// True only when line_in_prepared(s, t) is surely false: some edge has both
// ends of the segment well on its outer side.
//
// Let F(x) = TEST . (x - R) for the edge's TEST vector and corner R, exactly.
// Where the test gets as far as its edges it has a t in (0, 1] and a point
// P, each component rounded from X(t) = p1 + t dir: the product dir.k t
// (rounded twice, to extended then to single) is off by at most
// (2^-24 + 2^-63)|dir.k| + 2^-150 and no larger than |dir.k|, the sum
// p1.k + that by at most 2^-24 G.k, where G.k = |p1.k| + |dir.k|. The edge
// test then rounds P - R to single (relative 2^-24) and sums the products
// in extended (relative 2^-63 in all). So, with u = 2^-24 and the magnitudes
// bounded by G = max G.k and H = max |R.k| (REACH), the extended sum the
// test compares lies within
//   E = |TEST|1 (4u G + 2u H + 2^-149)
// of F(X(t)), where |TEST|1 = |TEST.X| + |TEST.Y| + |TEST.Z| (EDGESIZE).
// F is affine, so F(X(t)) <= max(F(p1), F(p1 + dir)). Those two are worked
// out below in double, off by at most 2^-49 |TEST|1 (G + H). If both come out
// below -B with B >= 2^-49 |TEST|1 (G + H) + E + 2^-150, the extended sum is
// below -2^-150, the single below 0, and the edge says outside; if the test
// stops earlier, it answers false all the same. The B used,
//   |TEST|1 (2^-21 (G + H) + 2^-148) + 2^-148,
// is at least twice that, which covers the rounding of B itself. NaN or
// infinite values anywhere make a comparison fail and prove nothing.
TVX_INLINE bool surely_missed(const segment& s, const TPREPAREDTRIANGLE& t) {
  const double px = s.p1.X, py = s.p1.Y, pz = s.p1.Z;
  const double dx = s.dir.X, dy = s.dir.Y, dz = s.dir.Z;
  const double h = (s.reach + t.REACH) * 0x1p-21 + 0x1p-148;
  int missed = 0;
  for (int i = 0; i < 3; ++i) {
    const double* e = t.EDGE[i];
    const double f1 = ((e[0] * px + e[1] * py) + e[2] * pz) - e[3];
    const double f2 = f1 + ((e[0] * dx + e[1] * dy) + e[2] * dz);
    const double b = t.EDGESIZE[i] * h + 0x1p-148;
    missed |= (f1 < -b) & (f2 < -b);
  }
  return missed != 0;
}

TVX_INLINE bool line_in_prepared(const segment& s, const TPREPAREDTRIANGLE& t, V3& intersection) {
  if (surely_missed(s, t)) return false;
  return line_in_prepared(s.p1, s.p2, s.dir, t, intersection);
}

TVX_INLINE bool line_in_prepared_quad(const segment& s, const TPREPAREDQUAD& q, V3& intersection) {
  if (line_in_prepared(s, q.FIRST, intersection)) return true;
  return line_in_prepared(s, q.SECOND, intersection);
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
  const V3 test[3] = {t.TEST1, t.TEST2, t.TEST3};
  const V3 corner[3] = {A, B, A};
  for (int i = 0; i < 3; ++i) {
    const double x = test[i].X, y = test[i].Y, z = test[i].Z;
    t.EDGE[i][0] = x;
    t.EDGE[i][1] = y;
    t.EDGE[i][2] = z;
    t.EDGE[i][3] = (x * corner[i].X + y * corner[i].Y) + z * corner[i].Z;
    t.EDGESIZE[i] = (__builtin_fabs(x) + __builtin_fabs(y)) + __builtin_fabs(z);
  }
  const float corners[6] = {A.X, A.Y, A.Z, B.X, B.Y, B.Z};
  // A NaN corner makes NORM, and so every TEST vector, NaN, which proves
  // nothing, whatever the reach.
  double reach = 0;
  for (const float c : corners) {
    const double m = __builtin_fabs(static_cast<double>(c));
    reach = m > reach ? m : reach;
  }
  t.REACH = reach;
  return t;
}

TPREPAREDQUAD PREPAREQUAD(TGLVECTOR A, TGLVECTOR B, TGLVECTOR C, TGLVECTOR D) {
  return {PREPARETRIANGLE(A, B, C), PREPARETRIANGLE(C, B, D)};
}

bool LINEINPREPAREDTRIANGLE(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDTRIANGLE& T,
                            TGLVECTOR& INTERSECTION) {
  return line_in_prepared(make_segment(P1, P2), T, INTERSECTION);
}

bool LINEINPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD& Q,
                        TGLVECTOR& INTERSECTION) {
  return line_in_prepared_quad(make_segment(P1, P2), Q, INTERSECTION);
}

// A quad test writes INTERSECTION only when it reports a crossing, so after
// the tests in index order INTERSECTION holds the point of the last quad that
// reported one: the first met when going down from the top index, after
// which the lower ones can change nothing.
int LASTPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD* QUADS, int COUNT,
                     TGLVECTOR& INTERSECTION) {
  const segment s = make_segment(P1, P2);
  for (int i = COUNT - 1; i >= 0; --i)
    if (line_in_prepared_quad(s, QUADS[i], INTERSECTION)) return i;
  return -1;
}

int FIRSTPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD* QUADS, int COUNT,
                      TGLVECTOR& INTERSECTION) {
  const segment s = make_segment(P1, P2);
  for (int i = 0; i < COUNT; ++i)
    if (line_in_prepared_quad(s, QUADS[i], INTERSECTION)) return i;
  return -1;
}

}  // namespace TVX_Collision
