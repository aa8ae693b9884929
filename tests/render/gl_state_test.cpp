// The GL state recipes, read back from a real context.
#include <GL/gl.h>

#include <cmath>
#include <cstdint>

#include <tarvex/gl_state.h>
#include <tarvex/vertex.h>
#include <tarvex/window.h>

#include "gl_harness.h"

namespace {

using namespace Tarvex;
using render_test::capture;
using render_test::GlTest;

struct Rgba {
  float v[4];
};

Rgba get4(GLenum what) {
  Rgba r{};
  glGetFloatv(what, r.v);
  return r;
}

void expect_matrix(GLenum which, const float (&want)[16], float tol) {
  float m[16];
  glGetFloatv(which, m);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], want[i], tol) << "element " << i;
}

const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void expect_viewport(int w, int h) {
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[0], 0);
  EXPECT_EQ(vp[1], 0);
  EXPECT_EQ(vp[2], w);
  EXPECT_EQ(vp[3], h);
}

GLint geti(GLenum what) {
  GLint v = 0;
  glGetIntegerv(what, &v);
  return v;
}

struct InitCase {
  int w, h;
  double depth, a, r, g, b;
  float clear_depth;
};

class OpenglInitTest : public GlTest, public ::testing::WithParamInterface<InitCase> {};

TEST_P(OpenglInitTest, LeavesThePerspectiveSetUp) {
  const InitCase& c = GetParam();
  WIDTH = c.w;
  HEIGHT = c.h;
  glMatrixMode(GL_TEXTURE);  // it must end with the model-view current
  OPENGL_INIT(c.depth, c.a, c.r, c.g, c.b);

  Rgba cc = get4(GL_COLOR_CLEAR_VALUE);
  EXPECT_EQ(cc.v[0], static_cast<float>(c.r));
  EXPECT_EQ(cc.v[1], static_cast<float>(c.g));
  EXPECT_EQ(cc.v[2], static_cast<float>(c.b));
  EXPECT_EQ(cc.v[3], static_cast<float>(c.a));
  expect_viewport(c.w, c.h);
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0), aspect = double(c.w) / c.h, n = 0.1;
  const float proj[16] = {float(f / aspect), 0, 0, 0, 0, float(f), 0, 0, 0, 0, float((c.depth + n) / (n - c.depth)), -1,
                          0, 0, float(2 * c.depth * n / (n - c.depth)), 0};
  expect_matrix(GL_PROJECTION_MATRIX, proj, 1e-5f);
  EXPECT_EQ(geti(GL_MATRIX_MODE), GL_MODELVIEW);
  expect_matrix(GL_MODELVIEW_MATRIX, IDENTITY, 0.0f);
  float depth = 0;
  glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
  EXPECT_EQ(depth, c.clear_depth);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(geti(GL_DEPTH_FUNC), GL_LEQUAL);
  Rgba col = get4(GL_CURRENT_COLOR);
  EXPECT_EQ(col.v[0], 1.0f);
  EXPECT_EQ(col.v[1], 1.0f);
  EXPECT_EQ(col.v[2], 1.0f);
  EXPECT_EQ(col.v[3], 0.5f);
  EXPECT_EQ(geti(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(geti(GL_BLEND_DST), GL_ONE);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(geti(GL_LIGHT_MODEL_LOCAL_VIEWER), 1);
  EXPECT_EQ(geti(GL_LINE_SMOOTH_HINT), GL_NICEST);
  EXPECT_EQ(geti(GL_POLYGON_SMOOTH_HINT), GL_NICEST);
  EXPECT_EQ(geti(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
  EXPECT_TRUE(glIsEnabled(GL_AUTO_NORMAL));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenglInitTest,
                         ::testing::Values(InitCase{800, 600, 100.0, 0, 0, 0, 0, 1.0f},
                                           InitCase{600, 800, 0.5, 0.25, 0.5, 0.75, 1.0, 0.5f}));

struct I2dCase {
  int w, h;
  float offx, offy;
  double ytop;
};

class OpenglI2dTest : public GlTest, public ::testing::WithParamInterface<I2dCase> {};

TEST_P(OpenglI2dTest, LeavesTheOrthographicSetUpAndOffsets) {
  const I2dCase& c = GetParam();
  WIDTH = c.w;
  HEIGHT = c.h;
  // State the 2D set-up must leave alone.
  glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glColor4f(0.25f, 0.5f, 0.75f, 0.125f);
  OPENGL_I2D(0.25, 0.5, 0.75, 1.0);

  EXPECT_EQ(OFFX, c.offx);
  EXPECT_EQ(OFFY, c.offy);
  Rgba cc = get4(GL_COLOR_CLEAR_VALUE);
  EXPECT_EQ(cc.v[0], 0.5f);
  EXPECT_EQ(cc.v[1], 0.75f);
  EXPECT_EQ(cc.v[2], 1.0f);
  EXPECT_EQ(cc.v[3], 0.25f);
  expect_viewport(c.w, c.h);
  // x -2..2, y -ytop..ytop, z -2..2.
  const float proj[16] = {0.5f, 0, 0, 0, 0, float(1.0 / c.ytop), 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1};
  expect_matrix(GL_PROJECTION_MATRIX, proj, 1e-7f);
  EXPECT_EQ(geti(GL_MATRIX_MODE), GL_MODELVIEW);
  expect_matrix(GL_MODELVIEW_MATRIX, IDENTITY, 0.0f);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(geti(GL_DEPTH_FUNC), GL_LEQUAL);
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  Rgba col = get4(GL_CURRENT_COLOR);
  EXPECT_EQ(col.v[0], 0.25f);
  EXPECT_EQ(col.v[3], 0.125f);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenglI2dTest,
                         ::testing::Values(I2dCase{800, 600, -2.05f, -1.45f, 1.5},
                                           I2dCase{600, 800, -1.05f, -0.45f, 8.0 / 3.0}));

// One switch: the state to start from, the call, and what must hold after it.
struct SwitchCase {
  const char* name;
  void (*before)();
  void (*call)();
  void (*check)();
};

class SwitchTest : public GlTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTest, SetsItsState) {
  GetParam().before();
  GetParam().call();
  GetParam().check();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchTest,
    ::testing::Values(
        SwitchCase{"Refractive",
                   [] {
                     glDisable(GL_CULL_FACE);
                     glCullFace(GL_FRONT);
                     glFrontFace(GL_CW);
                   },
                   SETGLREFRACTIVE,
                   [] {
                     EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
                     EXPECT_EQ(geti(GL_CULL_FACE_MODE), GL_BACK);
                     EXPECT_EQ(geti(GL_FRONT_FACE), GL_CCW);
                     EXPECT_EQ(geti(GL_SHADE_MODEL), GL_SMOOTH);
                   }},
        SwitchCase{"LightingOn", [] { glDisable(GL_LIGHTING); }, LIGHTINGON,
                   [] { EXPECT_TRUE(glIsEnabled(GL_LIGHTING)); }},
        SwitchCase{"LightingOff", [] { glEnable(GL_LIGHTING); }, LIGHTINGOFF,
                   [] { EXPECT_FALSE(glIsEnabled(GL_LIGHTING)); }},
        SwitchCase{"TwoSideOn", [] { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0); }, TWOSIDEON,
                   [] { EXPECT_EQ(geti(GL_LIGHT_MODEL_TWO_SIDE), 1); }},
        SwitchCase{"TwoSideOnThenOff", [] { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1); },
                   [] {
                     TWOSIDEON();
                     TWOSIDEOFF();
                   },
                   [] { EXPECT_EQ(geti(GL_LIGHT_MODEL_TWO_SIDE), 0); }},
        SwitchCase{"Sprite",
                   [] {
                     glDepthMask(GL_FALSE);
                     glEnable(GL_BLEND);
                   },
                   SETGLSPRITE,
                   [] {
                     EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
                     EXPECT_EQ(geti(GL_ALPHA_TEST_FUNC), GL_GREATER);
                     float ref = 0;
                     glGetFloatv(GL_ALPHA_TEST_REF, &ref);
                     EXPECT_EQ(ref, 0.4f);
                     // Depth writes and blending are not its business.
                     EXPECT_EQ(geti(GL_DEPTH_WRITEMASK), GL_FALSE);
                     EXPECT_TRUE(glIsEnabled(GL_BLEND));
                   }},
        SwitchCase{"SpriteOffAlone",
                   [] {
                     glDepthMask(GL_FALSE);
                     glEnable(GL_BLEND);
                     glEnable(GL_ALPHA_TEST);
                   },
                   SETGLSPRITEOFF,
                   [] {
                     EXPECT_EQ(geti(GL_DEPTH_WRITEMASK), GL_TRUE);
                     EXPECT_FALSE(glIsEnabled(GL_BLEND));
                     EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GlTest, SpriteDiscardsAlphaPointFourAndKeepsPointFourOne) {
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  SETGLSPRITE();
  // Left half alpha 0.4, right half alpha 0.41, both white.
  const float alphas[2] = {0.4f, 0.41f};
  for (int side = 0; side < 2; ++side) {
    glColor4f(1, 1, 1, alphas[side]);
    glBegin(GL_QUADS);
    glVertex2f(side - 1.0f, -1);
    glVertex2f(side - 0.0f, -1);
    glVertex2f(side - 0.0f, 1);
    glVertex2f(side - 1.0f, 1);
    glEnd();
  }
  glFinish();
  GLubyte left[4], right[4];
  glReadPixels(80, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, left);
  glReadPixels(240, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, right);
  EXPECT_EQ(left[0], 0) << "alpha 0.4 must be discarded";
  EXPECT_EQ(right[0], 255) << "alpha 0.41 must pass";
}

struct LightCase {
  GLenum light;
  float l[4];
  float shift_z;      // model-view translation when the light is set
  float eye_pos[4];   // where GL then holds it
};

class SetGlLightTest : public GlTest, public ::testing::WithParamInterface<LightCase> {};

TEST_P(SetGlLightTest, SetsColoursEnablesAndPlacesTheLight) {
  const LightCase& c = GetParam();
  glTranslatef(0, 0, c.shift_z);
  SETGLLIGHT(c.light, c.l[0], c.l[1], c.l[2], c.l[3]);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(c.light));
  const struct {
    GLenum pname;
    float want[4];
  } params[] = {{GL_AMBIENT, {0.5f, 0.5f, 0.5f, 1}}, {GL_DIFFUSE, {1, 1, 1, 1}}, {GL_SPECULAR, {1, 1, 1, 1}},
                {GL_POSITION, {c.eye_pos[0], c.eye_pos[1], c.eye_pos[2], c.eye_pos[3]}}};
  for (const auto& p : params) {
    float got[4];
    glGetLightfv(c.light, p.pname, got);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], p.want[i]) << "parameter " << p.pname << " [" << i << "]";
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(LIGHTPOSITION[i], c.l[i]);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetGlLightTest,
                         ::testing::Values(LightCase{GL_LIGHT0, {0, 0, 0, 0.1f}, 0, {0, 0, 0, 0.1f}},
                                           // w = 0: a directional light from (1, 2, 3), not moved by translation
                                           LightCase{GL_LIGHT1, {1, 2, 3, 0}, -5, {1, 2, 3, 0}},
                                           LightCase{GL_LIGHT2, {1, 2, 3, 1}, -5, {1, 2, -2, 1}}));

struct PointLightCase {
  float size;
  bool remove;  // output switch of the vertex wrappers
  int points;   // points drawn
  float point_size_after;
};

class PutGlPointLightTest : public GlTest, public ::testing::WithParamInterface<PointLightCase> {};

TEST_P(PutGlPointLightTest, MovesTheLightAndDrawsItsDot) {
  const PointLightCase& c = GetParam();
  render_test::feedback_view();
  glPointSize(7.0f);
  glNormal3f(1, 0, 0);
  GLVERT3FREMOVE = c.remove;
  auto prims = capture([&] { PUTGLPOINTLIGHT(GL_LIGHT1, c.size, 0.5f, -1.0f, 2.0f, 0.25f); });
  const float want[4] = {0.5f, -1.0f, 2.0f, 0.25f};
  float got[4];
  glGetLightfv(GL_LIGHT1, GL_POSITION, got);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(got[i], want[i]);
    EXPECT_EQ(LIGHTPOSITION[i], want[i]);
  }
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  ASSERT_EQ(static_cast<int>(prims.size()), c.points);
  if (c.points) {
    EXPECT_EQ(prims[0].token, GL_POINT_TOKEN);
    float obj[3];
    render_test::to_object(prims[0].v[0], obj);
    EXPECT_EQ(obj[0], 0.5f);
    EXPECT_EQ(obj[1], -1.0f);
    EXPECT_EQ(obj[2], 2.0f);
    Rgba n = get4(GL_CURRENT_NORMAL);
    EXPECT_EQ(n.v[0], 0.0f);
    EXPECT_EQ(n.v[1], 0.0f);
    EXPECT_EQ(n.v[2], 1.0f);
  }
  float ps = 0;
  glGetFloatv(GL_POINT_SIZE, &ps);
  EXPECT_EQ(ps, c.point_size_after);
}

INSTANTIATE_TEST_SUITE_P(Cases, PutGlPointLightTest,
                         ::testing::Values(PointLightCase{0, false, 0, 7}, PointLightCase{4, false, 1, 4},
                                           PointLightCase{4, true, 0, 4}));

}  // namespace
