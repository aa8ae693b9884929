// The level's tables after construction.
#include <gtest/gtest.h>

#include "demo.h"

namespace {

using namespace rayheight;

void expect_vec(const Tarvex::TGLVECTOR& v, float x, float y, float z) {
  EXPECT_EQ(v.X, x);
  EXPECT_EQ(v.Y, y);
  EXPECT_EQ(v.Z, z);
}

TEST(SceneTables, CornersAndUnusedQuads) {
  BUILD_SCENE_TABLES();
  expect_vec(Q[0].P4, 10, 0, 10);
  expect_vec(Q[6].P2, 0, 8, -10);
  expect_vec(Q[3].P1, 10, 4, 6);
  for (int i = 8; i <= 10; ++i) {
    expect_vec(Q[i].P1, 0, 0, 0);
    expect_vec(Q[i].P4, 0, 0, 0);
  }
  expect_vec(P1, 0, -1, 0);
  expect_vec(P2, 0, 15, 0);
}

TEST(SceneTables, GrassLayoutFromTheSeededGenerator) {
  BUILD_SCENE_TABLES();
  struct Cell {
    int i, l;
    float x, z, size;
  } cells[] = {{0, 0, 0, -1, 1.54f}, {0, 1, -6, -1, 1.64f}, {0, 2, 0, -6, 1.32f}, {0, 3, -2, -2, 1.29f},
               {6, 6, -8, 8, 1.45f}};
  for (const Cell& c : cells) {
    SCOPED_TRACE(testing::Message() << c.i << "," << c.l);
    expect_vec(POS1[c.i][c.l], c.x, -1, c.z);
    expect_vec(POS2[c.i][c.l], c.x, 10, c.z);
    EXPECT_NEAR(SIZE[c.i][c.l], c.size, 0.005);
  }
  for (int i = 0; i <= 6; ++i)
    for (int l = 0; l <= 6; ++l) {
      EXPECT_GE(SIZE[i][l], 1.0f);
      EXPECT_LT(SIZE[i][l], 1.75f);
      EXPECT_GE(POS1[i][l].X, -8);
      EXPECT_LE(POS1[i][l].X, 9);
    }
  for (int k = 0; k <= 7; ++k) {
    expect_vec(POS1[7][k], 0, 0, 0);
    expect_vec(POS1[k][7], 0, 0, 0);
  }
}

}  // namespace
