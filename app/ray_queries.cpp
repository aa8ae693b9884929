// Heights found by intersecting segments with the level's quads.
//
// Each query tests the quads in index order into one variable: the
// segment/quad test writes its out-point only on a crossing, so the last
// quad crossed, which the level's order makes the highest, is what stays.
#include <tvx_collision/collision.h>

#include <tarvex/matrix.h>

#include "demo.h"

namespace rayheight {

TGLVECTOR P = {0, 0, 0};
TGLVECTOR TMEP = {0, 0, 0};
TGLVECTOR TMEP1 = {0, 0, 0};
TGLVECTOR TMP = {0, 0, 0};
bool CHECKCOLL = false;

namespace {

const float EYE_HEIGHT = 2.0f;
const long double HEAD_MARGIN = 0.25L;

}  // namespace

float GETRAYHIGH(float OFFSET, float INTERSECTION, float MAXHIGH) {
  (void)OFFSET;
  return static_cast<float>(static_cast<long double>(INTERSECTION) + MAXHIGH);
}

// The walker's column from its new bottom up to the previous eye point: a
// surface above the previous eye is not found, so the walker passes under it.
void HEIGHT_QUERY() {
  for (I = 0; I <= 7; ++I) TVX_Collision::LINEINQUAD(P1, TMEP, Q[I].P1, Q[I].P2, Q[I].P3, Q[I].P4, P);
  TMEP = Tarvex::GLVECTOR(P2.X, GETRAYHIGH(P2.Y, P.Y, EYE_HEIGHT), P2.Z);
}

// From the new eye to the point above the previous eye: a surface passing
// through the band between them is the walker's head running into it.
void COLLISION_QUERY() {
  CHECKCOLL = false;
  for (I = 0; I <= 7 && !CHECKCOLL; ++I)
    CHECKCOLL = TVX_Collision::LINEINQUAD(TMEP, TMEP1, Q[I].P1, Q[I].P2, Q[I].P3, Q[I].P4, TMP);
  TMEP1 = Tarvex::GLVECTOR(TMEP.X, static_cast<double>(TMEP.Y + HEAD_MARGIN), TMEP.Z);
}

// Every probe stands on the highest surface of its column; the result never
// changes, yet the query runs every frame, as the frame's fixed work.
void GRASS_QUERY() {
  for (I = 0; I <= 6; ++I)
    for (L = 0; L <= 6; ++L)
      for (M = 0; M <= 7; ++M)
        TVX_Collision::LINEINQUAD(POS1[I][L], POS2[I][L], Q[M].P1, Q[M].P2, Q[M].P3, Q[M].P4, PP[I][L]);
}

}  // namespace rayheight
