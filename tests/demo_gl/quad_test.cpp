// QUAD on a real context: the normal, the texture coordinates with their
// corners, and the state it leaves.
#include <GL/gl.h>

#include <cmath>
#include <map>
#include <tuple>

#include "demo.h"
#include "gl_harness.h"

namespace {

using namespace rayheight;
using render_test::FbPrim;

struct Corner {
  float x, y, z, s, t;
};

// The feedback view widened to -16..16 so the level's quads fit; window
// coordinates of 256 pixels map back exactly for these points.
void level_view() {
  render_test::feedback_view();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-16, 16, -16, 16, -16, 16);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

std::vector<Corner> corners_of(const std::vector<FbPrim>& prims) {
  std::map<std::tuple<float, float, float>, Corner> seen;
  for (const FbPrim& p : prims)
    for (const auto& v : p.v) {
      Corner c{v.x / 256 * 32 - 16, v.y / 256 * 32 - 16, -(v.z * 32 - 16), v.s, v.t};
      seen[{c.x, c.y, c.z}] = c;
    }
  std::vector<Corner> out;
  for (auto& [k, c] : seen) out.push_back(c);
  return out;
}

void expect_corner(const std::vector<Corner>& got, float x, float z, float s, float t) {
  for (const Corner& c : got)
    if (std::fabs(c.x - x) < 1e-3 && std::fabs(c.z - z) < 1e-3) {
      EXPECT_FLOAT_EQ(c.s, s) << "corner " << x << "," << z;
      EXPECT_FLOAT_EQ(c.t, t) << "corner " << x << "," << z;
      return;
    }
  ADD_FAILURE() << "no vertex at " << x << "," << z;
}

class QuadTest : public render_test::GlTest {};

TEST_F(QuadTest, GroundQuadNormalTextureAndCorners) {
  BUILD_SCENE_TABLES();
  level_view();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  const TQUAD& q = Q[0];
  auto prims = render_test::capture([&] {
    QUAD(q.P1.X, q.P1.Y, q.P1.Z, q.P2.X, q.P2.Y, q.P2.Z, q.P3.X, q.P3.Y, q.P3.Z, q.P4.X, q.P4.Y, q.P4.Z, 0.2f, 0.2f);
  });
  ASSERT_FALSE(prims.empty());
  auto got = corners_of(prims);
  ASSERT_EQ(got.size(), 4u);
  const float st = static_cast<float>((10.0L + 10 + 1) * 0.2f);
  EXPECT_NEAR(st, 4.2f, 1e-6);
  expect_corner(got, 10, -10, st, st);  // corner 2
  expect_corner(got, -10, -10, 0, st);  // corner 1
  expect_corner(got, -10, 10, 0, 0);    // corner 3
  expect_corner(got, 10, 10, st, 0);    // corner 4
  GLfloat n[4];
  glGetFloatv(GL_CURRENT_NORMAL, n);
  EXPECT_EQ(n[0], 0);
  EXPECT_EQ(n[1], 1);
  EXPECT_EQ(n[2], 0);
}

TEST_F(QuadTest, QuadThreeTakesItsExtentFromCornersOneAndTwo) {
  BUILD_SCENE_TABLES();
  level_view();
  glEnable(GL_TEXTURE_2D);
  const TQUAD& q = Q[3];
  auto prims = render_test::capture([&] {
    QUAD(q.P1.X, q.P1.Y, q.P1.Z, q.P2.X, q.P2.Y, q.P2.Z, q.P3.X, q.P3.Y, q.P3.Z, q.P4.X, q.P4.Y, q.P4.Z, 5.0f, 0.1f);
  });
  auto got = corners_of(prims);
  ASSERT_EQ(got.size(), 4u);
  // Corners 1 and 2 share one X: s = (0 + 1) * TU = 5; t = (-10 - 6 + 1) * 0.1.
  const float t = static_cast<float>((-10.0L - 6 + 1) * 0.1f);
  expect_corner(got, 10, -10, 5.0f, t);
  expect_corner(got, 10, 6, 0, t);
  expect_corner(got, 6, 6, 0, 0);
  expect_corner(got, 6, -10, 5.0f, 0);
  GLfloat n[4];
  glGetFloatv(GL_CURRENT_NORMAL, n);
  EXPECT_EQ(n[1], -1);  // this quad's corner order faces down
}

TEST_F(QuadTest, GrassQuadShowsTheImageOnceAndLeavesCullingOnTwoSideOff) {
  level_view();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);  // whichever way it faces, culling is off while it is drawn
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  auto prims = render_test::capture([] { QUAD(-1, 2, 0, 1, 2, 0, -1, 0, 0, 1, 0, 0, 0.33333334f, 1); });
  glCullFace(GL_BACK);
  auto got = corners_of(prims);
  ASSERT_EQ(got.size(), 4u);
  expect_corner(got, 1, 0, 1.0f, 0);  // s is exactly 1 in single precision
  GLfloat n[4];
  glGetFloatv(GL_CURRENT_NORMAL, n);
  EXPECT_EQ(n[2], 1);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  GLint two_side = -1;
  glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
  EXPECT_EQ(two_side, 0);
  glDisable(GL_CULL_FACE);
  QUAD(-1, 2, 0, 1, 2, 0, -1, 0, 0, 1, 0, 0, 0.33333334f, 1);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

}  // namespace
