// Heights found by intersecting segments with the level's quads.
//
// Each query tests the quads in index order into one variable: the
// segment/quad test writes its out-point only on a crossing, so the last
// quad crossed, which the level's order makes the highest, is what stays.
// The quads are tested in their prepared form, which answers exactly as the
// corners do; the last crossing in index order is found by going down from
// the top quad and stopping at the first crossed (what lies below it cannot
// change the variable any more). The loop indices end where the loops in
// index order would leave them.
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
  TVX_Collision::LASTPREPAREDQUAD(P1, TMEP, PREPAREDQ, 8, P);
  I = 8;
  TMEP = Tarvex::GLVECTOR(P2.X, GETRAYHIGH(P2.Y, P.Y, EYE_HEIGHT), P2.Z);
}

// From the new eye to the point above the previous eye: a surface passing
// through the band between them is the walker's head running into it.
void COLLISION_QUERY() {
  const int32_t hit = TVX_Collision::FIRSTPREPAREDQUAD(TMEP, TMEP1, PREPAREDQ, 8, TMP);
  CHECKCOLL = hit >= 0;
  I = CHECKCOLL ? hit + 1 : 8;
  TMEP1 = Tarvex::GLVECTOR(TMEP.X, static_cast<double>(TMEP.Y + HEAD_MARGIN), TMEP.Z);
}

// Every probe stands on the highest surface of its column; the result never
// changes, yet the query runs every frame, as the frame's fixed work.
void GRASS_QUERY() {
  for (I = 0; I <= 6; ++I)
    for (L = 0; L <= 6; ++L) TVX_Collision::LASTPREPAREDQUAD(POS1[I][L], POS2[I][L], PREPAREDQ, 8, PP[I][L]);
  M = 8;
}

}  // namespace rayheight
