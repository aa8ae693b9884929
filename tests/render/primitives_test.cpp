// Normals, lines, vertex pairs, spheres and billboards on a real context.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <utility>

#include <tarvex/primitives.h>
#include <tarvex/vertex.h>

#include "gl_harness.h"

namespace {

using namespace Tarvex;
using render_test::capture;
using render_test::FbPrim;
using render_test::FbVertex;
using render_test::GlTest;

struct NormalCase {
  double v[9];
  double n[3];
};

class FindNormalTest : public ::testing::TestWithParam<NormalCase> {};

TEST_P(FindNormalTest, GivesTheUnitNormalOfTheCounterClockwiseSide) {
  const NormalCase& c = GetParam();
  const double* v = c.v;
  FINDNORMAL(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(std::isnan(FNORMAL[i + 1]));
    EXPECT_EQ(FNORMAL[i + 1], c.n[i]) << "component " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FindNormalTest,
                         ::testing::Values(NormalCase{{10, 0, -10, -10, 0, -10, -10, 0, 10}, {0, 1, 0}},
                                           NormalCase{{-10, 0, -10, 10, 0, -10, -10, 0, 10}, {0, -1, 0}},
                                           NormalCase{{0, 0, 0, 3, 0, 0, 0, 4, 0}, {0, 0, 1}},
                                           // degenerate: coincident and collinear points
                                           NormalCase{{2, 3, 4, 2, 3, 4, 2, 3, 4}, {0, 0, 0}},
                                           NormalCase{{0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0}}));

TEST(FindNormalTest, LengthIsHeldAsSingle) {
  // Normal (0, -1, 1) / sqrt 2: divided by sqrt 2 rounded to single, not by the double.
  FINDNORMAL(0, 0, 0, 1, 0, 0, 0, 1, 1);
  const float length = 1.4142135f;
  EXPECT_EQ(FNORMAL[1], 0.0);
  EXPECT_NEAR(FNORMAL[3], 1.0 / length, 1e-16);
  EXPECT_NEAR(FNORMAL[2], -1.0 / length, 1e-16);
  EXPECT_GT(std::fabs(FNORMAL[3] - 1.0 / std::sqrt(2.0)), 1e-9);
}

// Drawing tests use the feedback view; vertex positions come back in object coordinates.
class PrimitiveTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    render_test::feedback_view();
    // Texture coordinates pass through feedback only while texturing is on.
    glEnable(GL_TEXTURE_2D);
  }
};

struct Obj {
  float p[3];
  float s, t;
};

Obj obj(const FbVertex& v) {
  Obj o;
  render_test::to_object(v, o.p);
  o.s = v.s;
  o.t = v.t;
  return o;
}

TEST_F(PrimitiveTest, LineIsOneBlockInArgumentOrder) {
  auto prims = capture([] { LINE(0, 0, 0, 1, 2, 3); });
  ASSERT_EQ(prims.size(), 1u);
  ASSERT_EQ(prims[0].token, GL_LINE_TOKEN);
  const float want[2][3] = {{0, 0, 0}, {1, 2, 3}};
  for (int k = 0; k < 2; ++k) {
    Obj o = obj(prims[0].v[k]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(o.p[i], want[k][i]);
  }
}

class LineFreeTest : public PrimitiveTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LineFreeTest, EmitsTwoVerticesWithTheirTextureCoordinates) {
  const bool texture = GetParam();
  glTexCoord2f(0.125f, 0.875f);
  auto prims = capture([&] {
    GLBEGIN(GL_LINES);
    LINEFREE(0.25f, 0.5f, 0.75f, 1.0f, 1, 2, 3, -1, -2, -3, texture);
    GLEND();
  });
  ASSERT_EQ(prims.size(), 1u);
  ASSERT_EQ(prims[0].token, GL_LINE_TOKEN);
  const float pos[2][3] = {{1, 2, 3}, {-1, -2, -3}};
  const float tex[2][2] = {{0.25f, 0.5f}, {0.75f, 1.0f}};
  const float kept[2] = {0.125f, 0.875f};
  for (int k = 0; k < 2; ++k) {
    Obj o = obj(prims[0].v[k]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(o.p[i], pos[k][i]);
    EXPECT_EQ(o.s, texture ? tex[k][0] : kept[0]);
    EXPECT_EQ(o.t, texture ? tex[k][1] : kept[1]);
  }
  float cur[4];
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, cur);
  EXPECT_EQ(cur[0], texture ? 0.75f : 0.125f);
  EXPECT_EQ(cur[1], texture ? 1.0f : 0.875f);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineFreeTest, ::testing::Bool());

struct SphereCase {
  int numcircle, numline;
  float tsize;
};

// Every triangle of a sphere at the origin, in object coordinates.
struct Tri {
  Obj v[3];
  // Twice the area, and whether the corners run counter-clockwise seen from outside.
  double area2;
  bool ccw_outside;
  double normal_z;
};

std::vector<Tri> sphere_triangles(const std::vector<FbPrim>& prims) {
  std::vector<Tri> tris;
  for (const FbPrim& p : prims) {
    EXPECT_EQ(p.token, GL_POLYGON_TOKEN);
    EXPECT_EQ(p.v.size(), 3u);
    if (p.v.size() != 3) continue;
    Tri t;
    for (int k = 0; k < 3; ++k) t.v[k] = obj(p.v[k]);
    double e1[3], e2[3], c[3], centroid[3];
    for (int i = 0; i < 3; ++i) {
      e1[i] = double(t.v[1].p[i]) - t.v[0].p[i];
      e2[i] = double(t.v[2].p[i]) - t.v[0].p[i];
      centroid[i] = (double(t.v[0].p[i]) + t.v[1].p[i] + t.v[2].p[i]) / 3;
    }
    c[0] = e1[1] * e2[2] - e1[2] * e2[1];
    c[1] = e1[2] * e2[0] - e1[0] * e2[2];
    c[2] = e1[0] * e2[1] - e1[1] * e2[0];
    t.area2 = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    t.ccw_outside = c[0] * centroid[0] + c[1] * centroid[1] + c[2] * centroid[2] > 0;
    t.normal_z = c[2];
    tris.push_back(t);
  }
  return tris;
}

const double PI = 3.14159265358979323846;

class SferaTest : public PrimitiveTest, public ::testing::WithParamInterface<SphereCase> {};

TEST_P(SferaTest, VerticesLieOnTheirGridPointsWithTheirTextureCoordinates) {
  const SphereCase& c = GetParam();
  auto tris = sphere_triangles(capture([&] { SFERA(0, 0, 0, 1, c.numcircle, c.numline, c.tsize); }));
  // Each band is a strip of 2 (NUMCIRCLE + 1) vertices, so 2 NUMCIRCLE triangles.
  ASSERT_EQ(tris.size(), size_t(2 * c.numcircle * c.numline));
  std::set<std::pair<int, int>> seen;
  for (const Tri& t : tris) {
    for (const Obj& o : t.v) {
      // The grid point this vertex claims by its texture coordinate.
      const int j = int(std::lround(-o.s * c.tsize * c.numcircle));
      const int i = int(std::lround(o.t * c.tsize * c.numline));
      ASSERT_TRUE(j >= 0 && j <= c.numcircle && i >= 0 && i <= c.numline) << o.s << " " << o.t;
      seen.insert({i, j});
      // Texture coordinates rounded once to single.
      EXPECT_EQ(o.s, static_cast<float>((static_cast<long double>(-j) / c.numcircle) / c.tsize));
      EXPECT_EQ(o.t, static_cast<float>((static_cast<long double>(i) / c.numline) / c.tsize));
      const double a = i * PI / c.numline, cc = j * 2 * PI / c.numcircle;
      EXPECT_NEAR(o.p[0], std::sin(a) * std::cos(cc), 2e-6);
      EXPECT_NEAR(o.p[1], std::sin(a) * std::sin(cc), 2e-6);
      EXPECT_NEAR(o.p[2], std::cos(a), 2e-6);
    }
  }
  EXPECT_EQ(seen.size(), size_t((c.numline + 1) * (c.numcircle + 1)));
}

TEST_P(SferaTest, OutsideRunsCounterClockwise) {
  const SphereCase& c = GetParam();
  auto proper = [](const std::vector<Tri>& tris) {
    std::vector<Tri> out;
    for (const Tri& t : tris)
      if (t.area2 > 1e-7) out.push_back(t);
    return out;
  };
  auto all = proper(sphere_triangles(capture([&] { SFERA(0, 0, 0, 1, c.numcircle, c.numline, c.tsize); })));
  // Only the triangles with two corners at a pole are degenerate.
  ASSERT_EQ(all.size(), size_t(2 * c.numcircle * c.numline - 2 * c.numcircle));
  size_t facing_viewer = 0;
  for (const Tri& t : all) {
    EXPECT_TRUE(t.ccw_outside);
    facing_viewer += t.normal_z > 0;
  }
  // Culling decides by the winding on screen: with back faces culled exactly
  // the half turned to the viewer comes back, with front faces culled the rest.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  auto front = proper(sphere_triangles(capture([&] { SFERA(0, 0, 0, 1, c.numcircle, c.numline, c.tsize); })));
  glCullFace(GL_FRONT);
  auto back = proper(sphere_triangles(capture([&] { SFERA(0, 0, 0, 1, c.numcircle, c.numline, c.tsize); })));
  EXPECT_EQ(front.size(), facing_viewer);
  EXPECT_EQ(back.size(), all.size() - facing_viewer);
  for (const Tri& t : front) EXPECT_GT(t.normal_z, 0);
  for (const Tri& t : back) EXPECT_LT(t.normal_z, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SferaTest,
                         ::testing::Values(SphereCase{4, 2, 1.0f}, SphereCase{20, 20, 0.33333334f}));

TEST_F(PrimitiveTest, SferaFirstBandAlternatesPoleAndEquator) {
  auto prims = capture([] { SFERA(0, 0, 0, 1, 4, 2, 1); });
  std::set<std::tuple<float, float, float, float, float>> got;
  for (const FbPrim& p : prims)
    for (const FbVertex& v : p.v) {
      Obj o = obj(v);
      if (o.t != 0.0f && o.t != 0.5f) continue;
      got.insert({std::round(o.p[0] * 1e5f) / 1e5f + 0.0f, std::round(o.p[1] * 1e5f) / 1e5f + 0.0f,
                  std::round(o.p[2] * 1e5f) / 1e5f + 0.0f, o.s, o.t});
    }
  const std::set<std::tuple<float, float, float, float, float>> want = {
      {0, 0, 1, 0, 0},      {0, 0, 1, -0.25f, 0},    {0, 0, 1, -0.5f, 0},     {0, 0, 1, -0.75f, 0},
      {0, 0, 1, -1, 0},     {1, 0, 0, 0, 0.5f},      {0, 1, 0, -0.25f, 0.5f}, {-1, 0, 0, -0.5f, 0.5f},
      {0, -1, 0, -0.75f, 0.5f}, {1, 0, 0, -1, 0.5f}};
  EXPECT_EQ(got, want);
}

TEST_F(PrimitiveTest, SferaNormalsPointOutward) {
  // Three directional lights along +X, +Y, +Z, coloured red, green and blue:
  // each vertex's colour is then the positive part of its normal.
  const float zero[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, zero);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, zero);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, zero);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, zero);
  for (int k = 0; k < 3; ++k) {
    const GLenum light = GL_LIGHT0 + k;
    float colour[4] = {0, 0, 0, 1}, dir[4] = {0, 0, 0, 0};
    colour[k] = 1;
    dir[k] = 1;
    glLightfv(light, GL_AMBIENT, zero);
    glLightfv(light, GL_DIFFUSE, colour);
    glLightfv(light, GL_SPECULAR, zero);
    glLightfv(light, GL_POSITION, dir);
    glEnable(light);
  }
  glEnable(GL_LIGHTING);
  auto prims = capture([] { SFERA(0, 0, 0, 1, 4, 2, 1); });
  ASSERT_FALSE(prims.empty());
  for (const FbPrim& p : prims)
    for (const FbVertex& v : p.v) {
      Obj o = obj(v);
      EXPECT_NEAR(v.r, std::max(0.0f, o.p[0]), 1e-4);
      EXPECT_NEAR(v.g, std::max(0.0f, o.p[1]), 1e-4);
      EXPECT_NEAR(v.b, std::max(0.0f, o.p[2]), 1e-4);
    }
}

TEST_F(PrimitiveTest, SferaWithoutBandsDrawsNothing) {
  for (int numline : {0, -3}) {
    auto prims = capture([&] { SFERA(0, 0, 0, 1, 4, numline, 1); });
    EXPECT_TRUE(prims.empty()) << numline;
  }
}

// The sphere's tables are kept per tessellation: switching between spheres
// gives each the stream it had, to the last bit.
TEST_F(PrimitiveTest, SferaStreamsStayTheSameAcrossTessellations) {
  auto stream = [](int numcircle, int numline) {
    std::vector<float> out;
    for (const auto& p : capture([&] { SFERA(0.5f, -0.25f, 0.125f, 1.5f, numcircle, numline, 0.33333334f); }))
      for (const auto& v : p.v) out.insert(out.end(), {v.x, v.y, v.z, v.r, v.g, v.b, v.s, v.t});
    return out;
  };
  const std::vector<float> first = stream(20, 20);
  const std::vector<float> other = stream(4, 2);
  EXPECT_NE(first, other);
  EXPECT_EQ(stream(20, 20), first);
  EXPECT_EQ(stream(4, 2), other);
  EXPECT_EQ(stream(20, 20), first);
}

struct BillboardCase {
  const char* name;
  float view_turn;  // degrees about Y applied before the sprite
  float view_z;     // then this translation, applied first to the eye
  float x, y, z;
  float turn;       // degrees the sprite must turn by
};

class BillboardTest : public GlTest, public ::testing::WithParamInterface<BillboardCase> {};

TEST_P(BillboardTest, TurnsToFaceTheViewer) {
  const BillboardCase& c = GetParam();
  glTranslatef(0, 0, c.view_z);
  glRotatef(c.view_turn, 0, 1, 0);
  GLint depth0 = 0, attr0 = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth0);
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attr0);
  float want[16], got[16], before[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  glPushMatrix();
  glTranslated(c.x, c.y, c.z);
  glRotatef(c.turn, 0, 1, 0);
  glGetFloatv(GL_MODELVIEW_MATRIX, want);
  glPopMatrix();

  BILLBOARDBEGIN(c.x, c.y, c.z);
  glGetFloatv(GL_MODELVIEW_MATRIX, got);
  GLint depth1 = 0, attr1 = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth1);
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attr1);
  BILLBOARDEND();
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], 2e-6f) << "element " << i;
  EXPECT_EQ(depth1, depth0 + 1);
  EXPECT_EQ(attr1, attr0 + 1);
  float after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]);
}

INSTANTIATE_TEST_SUITE_P(Cases, BillboardTest,
                         ::testing::Values(BillboardCase{"InFront", 0, 0, 0, 0, -10, 0},
                                           BillboardCase{"ToTheLeft", 0, 0, -10, 0, 0, 90},
                                           BillboardCase{"ToTheRight", 0, 0, 10, 0, 0, -90},
                                           BillboardCase{"Behind", 0, 0, 0, 0, 10, 180},
                                           BillboardCase{"ViewerStraightAbove", 0, 0, 0, -5, 0, 0},
                                           // A turned and moved view: the sprite undoes the turn.
                                           BillboardCase{"TurnedView", 30, -20, 0, 0, 0, -30}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the caller changes between the pair, and the state from before it.
struct RestoreCase {
  const char* name;
  void (*change)();
};

class BillboardRestoreTest : public GlTest, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(BillboardRestoreTest, EndPutsBackWhatWasChangedInBetween) {
  glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
  BILLBOARDBEGIN(1, 2, 3);
  GetParam().change();
  glTranslatef(5, 5, 5);
  BILLBOARDEND();
  float col[4], m[16];
  glGetFloatv(GL_CURRENT_COLOR, col);
  EXPECT_EQ(col[0], 0.25f);
  EXPECT_EQ(col[1], 0.5f);
  EXPECT_EQ(col[2], 0.75f);
  EXPECT_EQ(col[3], 1.0f);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
}

// Colour and enables in separate cases: Mesa 22.3 leaves the inner current
// colour in place when an enable also changed after a matrix call.
INSTANTIATE_TEST_SUITE_P(Cases, BillboardRestoreTest,
                         ::testing::Values(RestoreCase{"Colour", [] { glColor4f(1, 0, 0, 0.5f); }},
                                           RestoreCase{"Texturing", [] { glEnable(GL_TEXTURE_2D); }},
                                           RestoreCase{"Lighting", [] { glEnable(GL_LIGHTING); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
