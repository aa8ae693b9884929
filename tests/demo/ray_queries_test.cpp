// The demo's three queries, which test the prepared quads, against the same
// queries written out with the plain segment/quad test on Q: every value they
// leave must be the same, bit for bit, frame after frame.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <tarvex/matrix.h>

#include "demo.h"

namespace {

using namespace rayheight;
using TVX_Collision::LINEINQUAD;

struct Results {
  TGLVECTOR P, TMEP, TMEP1, TMP;
  bool CHECKCOLL;
  TGLVECTOR PP[8][8];
  int32_t I, L, M;
};

Results now() {
  Results r;
  std::memset(&r, 0, sizeof r);
  r.P = P, r.TMEP = TMEP, r.TMEP1 = TMEP1, r.TMP = TMP, r.CHECKCOLL = CHECKCOLL;
  std::memcpy(r.PP, PP, sizeof PP);
  r.I = I, r.L = L, r.M = M;
  return r;
}

// The queries as loops over the quads in index order.
void plain_height() {
  for (I = 0; I <= 7; ++I) LINEINQUAD(P1, TMEP, Q[I].P1, Q[I].P2, Q[I].P3, Q[I].P4, P);
  TMEP = Tarvex::GLVECTOR(P2.X, GETRAYHIGH(P2.Y, P.Y, 2.0f), P2.Z);
}

void plain_collision() {
  CHECKCOLL = false;
  for (I = 0; I <= 7 && !CHECKCOLL; ++I) CHECKCOLL = LINEINQUAD(TMEP, TMEP1, Q[I].P1, Q[I].P2, Q[I].P3, Q[I].P4, TMP);
  TMEP1 = Tarvex::GLVECTOR(TMEP.X, static_cast<double>(TMEP.Y + 0.25L), TMEP.Z);
}

void plain_grass() {
  for (I = 0; I <= 6; ++I)
    for (L = 0; L <= 6; ++L)
      for (M = 0; M <= 7; ++M) LINEINQUAD(POS1[I][L], POS2[I][L], Q[M].P1, Q[M].P2, Q[M].P3, Q[M].P4, PP[I][L]);
}

void restore(const Results& r) {
  P = r.P, TMEP = r.TMEP, TMEP1 = r.TMEP1, TMP = r.TMP, CHECKCOLL = r.CHECKCOLL;
  std::memcpy(PP, r.PP, sizeof PP);
  I = r.I, L = r.L, M = r.M;
}

// The walker's column goes in small steps and in jumps all over the level,
// on and off the grid, so that it climbs, drops, passes under surfaces and
// runs into them.
TEST(RayQueries, SameValuesAsThePlainLoopsFrameAfterFrame) {
  RESET_DEMO_STATE();
  std::mt19937_64 g(0xf4a3e);
  std::uniform_real_distribution<float> anywhere(-10.5f, 10.5f);
  int collisions = 0, heights = 0;
  for (int frame = 0; frame < 20000; ++frame) {
    float x = P1.X, z = P1.Z;
    switch (g() % 4) {
      case 0: x = anywhere(g), z = anywhere(g); break;
      case 1: x = float(int(g() % 21) - 10), z = float(int(g() % 21) - 10); break;
      default: x += 0.1f * float(int(g() % 3) - 1), z += 0.1f * float(int(g() % 3) - 1); break;
    }
    P1.X = P2.X = x;
    P1.Z = P2.Z = z;
    // Each query on its own, the loop indices included.
    void (*const plain[3])() = {plain_height, plain_collision, plain_grass};
    void (*const demo[3])() = {HEIGHT_QUERY, COLLISION_QUERY, GRASS_QUERY};
    for (int q = 0; q < 3; ++q) {
      const Results before = now();
      plain[q]();
      const Results expected = now();
      restore(before);
      demo[q]();
      const Results got = now();
      ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
          << "frame " << frame << ", query " << q << " at " << x << ", " << z << ": P.Y " << got.P.Y << " vs "
          << expected.P.Y << ", CHECKCOLL " << got.CHECKCOLL << " vs " << expected.CHECKCOLL << ", I " << got.I
          << " vs " << expected.I;
    }
    collisions += CHECKCOLL;
    heights += P.Y > 0;
  }
  EXPECT_GT(collisions, 500);
  EXPECT_GT(heights, 500);
}

}  // namespace
