// Vector arithmetic and the segment/triangle and segment/quad tests.
//
// How results are rounded. Every component an operation returns is a single;
// it is the value of the operation worked out in extended precision
// (long double, 64-bit significand) and stored once as a single:
//   VECSUB, VECADD  the exact sum or difference rounded to single (the same
//                   as single-precision arithmetic, since 64 >= 2*24 + 2);
//   VECMUL          (V.X * M) formed in extended precision, then stored;
//   CROSS           (Y1*Z2 - Z1*Y2) and so on: the two products are exact in
//                   extended precision, their difference is rounded there,
//                   then stored;
//   DOT             ((X1*X2 + Y1*Y2) + Z1*Z2): exact products, the two sums
//                   rounded in extended precision in that order, then stored;
//   NORMALIZE       LENGTH = sqrt((X*X + Y*Y) + Z*Z) in extended precision,
//                   stored as a single; then X / LENGTH and so on, each
//                   quotient rounded to single.
// An extended sum of 48-bit products is not always the exact sum (the lost
// low bits can decide a tie of the final rounding), and a double sum is not
// always the extended one, so these are the definitions, not approximations.
// The code gets them faster where it can prove the result equal: it works in
// double precision and falls back to extended precision only where the
// double value could round to another single (see collision.cpp).
//
// Floating-point exceptions are expected to be masked: degenerate input
// produces NaN or infinities, never a trap, and the tests then answer false.
#pragma once

#include <tarvex/types.h>

namespace TVX_Collision {

using Tarvex::TGLVECTOR;
using Tarvex::TGLVERTEX;

// Plane-side classification and table capacities published with the module
// for its users; the tests below do not use them.
inline constexpr int BEHIND = 0;
inline constexpr int INTERSECTS = 1;
inline constexpr int FRONT = 2;

inline constexpr int MAXTRIANGLEBOX = 2500;
inline constexpr int MAXBOX = 2500;
inline constexpr int MAXCYLINDER = 2500;
inline constexpr int MAXSPHERE = 2500;

// VECTORS is indexed 1 to 4; element 0 is unused.
struct TGLFACE {
  TGLVERTEX VECTORS[5];
};

struct TGLLINE {
  TGLVERTEX STARTPOINT;
  TGLVERTEX ENDPOINT;
};

struct TBOUNDINGTRIANGLEBOX {
  TGLVERTEX A;
  TGLVERTEX B;
  TGLVERTEX C;
  float Z1;
  float Z2;
};

struct TBOUNDINGBOX {
  TGLVECTOR MIN;
  TGLVECTOR MAX;
};

struct TBOUNDINGCYLINDER {
  TGLVECTOR POINT;
  TGLVECTOR CYLINDER;
  float RADIUS;
  float HEIGHT;
};

struct TBOUNDINGSPHERE {
  TGLVECTOR POINT;
  TGLVECTOR SPHERE;
  float RADIUS;
};

struct TTRIANGLECOLLISION {
  TGLVECTOR A;
  TGLVECTOR B;
  TGLVECTOR C;
};

TGLVECTOR VECSUB(TGLVECTOR POINT1, TGLVECTOR POINT2);
TGLVECTOR VECADD(TGLVECTOR POINT1, TGLVECTOR POINT2);
TGLVECTOR VECMUL(TGLVECTOR V, double M);
TGLVECTOR CROSS(TGLVECTOR VEC1, TGLVECTOR VEC2);
float DOT(TGLVECTOR VEC1, TGLVECTOR VEC2);
// No guard for a zero vector: 0/0 gives NaN components.
TGLVECTOR NORMALIZE(TGLVECTOR V);

// True when the segment P1-P2 crosses the triangle A, B, C (either winding)
// strictly between its ends, inside or on the border; INTERSECTION then
// receives the crossing point. On false INTERSECTION is not written.
bool LINEINTRIANGLE(TGLVECTOR P1, TGLVECTOR P2, TGLVECTOR A, TGLVECTOR B,
                    TGLVECTOR C, TGLVECTOR& INTERSECTION);

// The same for a flat face with corners in strip order (outline
// A -> B -> D -> C): triangle A, B, C first, then C, B, D.
bool LINEINQUAD(TGLVECTOR P1, TGLVECTOR P2, TGLVECTOR A, TGLVECTOR B,
                TGLVECTOR C, TGLVECTOR D, TGLVECTOR& INTERSECTION);

// Faces tested again and again (a level's quads, every frame) can have the
// parts of the test that do not depend on the segment worked out once:
// the normal and the three edge vectors. LINEINPREPAREDTRIANGLE and
// LINEINPREPAREDQUAD give, for every segment, exactly the result and the
// point (bit for bit) that LINEINTRIANGLE and LINEINQUAD give for the corners
// the record was prepared from, and leave INTERSECTION alone on false as
// they do.
struct TPREPAREDTRIANGLE {
  TGLVECTOR A;
  TGLVECTOR B;
  TGLVECTOR NORM;
  TGLVECTOR TEST1;  // inward vector of edge A->B
  TGLVECTOR TEST2;  // of edge B->C
  TGLVECTOR TEST3;  // of edge C->A
  // For proving cheaply that a segment misses (see collision.cpp): each
  // edge's TEST vector and its dot product with the edge's corner (A, B, A),
  // in double; the sum of the magnitudes of each TEST vector's components;
  // and the largest magnitude among the components of A and B.
  double EDGE[3][4];
  double EDGESIZE[3];
  double REACH;
};

struct TPREPAREDQUAD {
  TPREPAREDTRIANGLE FIRST;   // A, B, C
  TPREPAREDTRIANGLE SECOND;  // C, B, D
};

TPREPAREDTRIANGLE PREPARETRIANGLE(TGLVECTOR A, TGLVECTOR B, TGLVECTOR C);
TPREPAREDQUAD PREPAREQUAD(TGLVECTOR A, TGLVECTOR B, TGLVECTOR C, TGLVECTOR D);
bool LINEINPREPAREDTRIANGLE(TGLVECTOR P1, TGLVECTOR P2,
                            const TPREPAREDTRIANGLE& T, TGLVECTOR& INTERSECTION);
bool LINEINPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD& Q,
                        TGLVECTOR& INTERSECTION);

// One segment against a table of prepared quads, as a caller testing
// QUADS[0] to QUADS[COUNT - 1] with LINEINPREPAREDQUAD would. LASTPREPAREDQUAD
// leaves INTERSECTION as testing them all in index order into it leaves it
// (the point of the last quad crossed) and returns that quad's index;
// FIRSTPREPAREDQUAD stops at the first quad crossed, as a loop that ends on
// the first true result, and returns its index. Both return -1, with
// INTERSECTION untouched, when no quad is crossed.
int LASTPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD* QUADS, int COUNT,
                     TGLVECTOR& INTERSECTION);
int FIRSTPREPAREDQUAD(TGLVECTOR P1, TGLVECTOR P2, const TPREPAREDQUAD* QUADS, int COUNT,
                      TGLVECTOR& INTERSECTION);

}  // namespace TVX_Collision
