// The vertex wrappers, recording, and the rotation matrices.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include <tarvex/matrix.h>
#include <tarvex/vertex.h>

#include "gl_harness.h"

namespace {

using namespace Tarvex;
using render_test::capture;
using render_test::FbPrim;

// A copy of the table to compare against; static because it is large.
TGLVERTEX3F g_before;

class VertexTest : public render_test::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    std::memset(&GLBASEVERTEX3F, 0, sizeof GLBASEVERTEX3F);
    render_test::feedback_view();
  }
  void TearDown() override {
    std::memset(&GLBASEVERTEX3F, 0, sizeof GLBASEVERTEX3F);
    GlTest::TearDown();
  }
  void snapshot() { std::memcpy(&g_before, &GLBASEVERTEX3F, sizeof g_before); }
  bool table_unchanged() { return std::memcmp(&g_before, &GLBASEVERTEX3F, sizeof g_before) == 0; }

  // The points a GL_POINTS block of the given vertices comes back as.
  static std::vector<TGLVECTOR> draw_points(std::initializer_list<TGLVECTOR> vs) {
    auto prims = capture([&] {
      GLBEGIN(GL_POINTS);
      for (const TGLVECTOR& v : vs) GLVERTEX3F(v.X, v.Y, v.Z);
      GLEND();
    });
    std::vector<TGLVECTOR> out;
    for (const FbPrim& p : prims) {
      EXPECT_EQ(p.token, GL_POINT_TOKEN);
      float o[3];
      render_test::to_object(p.v[0], o);
      out.push_back({o[0], o[1], o[2]});
    }
    return out;
  }
};

void expect_vec_eq(const TGLVECTOR& a, const TGLVECTOR& b) {
  EXPECT_EQ(a.X, b.X);
  EXPECT_EQ(a.Y, b.Y);
  EXPECT_EQ(a.Z, b.Z);
}

void expect_vec_near(const TGLVECTOR& a, const TGLVECTOR& b, float tol) {
  EXPECT_NEAR(a.X, b.X, tol);
  EXPECT_NEAR(a.Y, b.Y, tol);
  EXPECT_NEAR(a.Z, b.Z, tol);
}

struct SwitchCase {
  bool remove, edit;
};

class WrapperSwitchTest : public VertexTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(WrapperSwitchTest, EmitsAndRecordsAsTheSwitchesSay) {
  const SwitchCase& c = GetParam();
  GLVERT3FREMOVE = c.remove;
  GLVERT3FENABLEEDIT = c.edit;
  GLBASEVERTEX3F.GLVERT3FSETNUM = 5;
  snapshot();
  auto pts = draw_points({{1.5f, -2.0f, 3.0f}});
  // GLBEGIN copies the limit whatever the switches are.
  EXPECT_EQ(GLBASEVERTEX3F.GLVERT3FMAX, 5);
  if (c.remove) {
    EXPECT_TRUE(pts.empty());
  } else {
    ASSERT_EQ(pts.size(), 1u);
    expect_vec_eq(pts[0], {1.5f, -2.0f, 3.0f});
  }
  if (c.edit) {
    EXPECT_EQ(GLBASEVERTEX3F.GLVERT3FCOUNT, 1);
    expect_vec_eq(GLBASEVERTEX3F.GLVERT3FOFFSET[1], {1.5f, -2.0f, 3.0f});
    expect_vec_eq(GLBASEVERTEX3F.GLVERT3F[1], {1.5f, -2.0f, 3.0f});
  } else {
    g_before.GLVERT3FMAX = 5;
    EXPECT_TRUE(table_unchanged());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WrapperSwitchTest,
                         ::testing::Values(SwitchCase{false, false}, SwitchCase{true, false}, SwitchCase{true, true},
                                           SwitchCase{false, true}));

TEST_F(VertexTest, RecordingFillsSlotsUpToTheLimitThenReusesTheLast) {
  GLVERT3FENABLEEDIT = true;
  GLBASEVERTEX3F.GLVERT3FSETNUM = 3;
  const TGLVECTOR v[5] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}};
  auto pts = draw_points({v[0], v[1], v[2], v[3], v[4]});
  ASSERT_EQ(pts.size(), 5u);
  for (int i = 0; i < 5; ++i) expect_vec_eq(pts[i], v[i]);
  const TGLVERTEX3F& T = GLBASEVERTEX3F;
  EXPECT_EQ(T.GLVERT3FCOUNT, 3);
  const TGLVECTOR slot_input[4] = {{}, v[0], v[1], v[4]};
  for (int n = 1; n <= 3; ++n) {
    expect_vec_eq(T.GLVERT3FOFFSET[n], slot_input[n]);
    expect_vec_eq(T.GLVERT3F[n], slot_input[n]);
    expect_vec_eq(T.GLVERT3FTMPSCALE[n], {1, 1, 1});
  }
  expect_vec_eq(T.GLVERT3FTMPSCALE[4], {0, 0, 0});
  expect_vec_eq(T.GLVERT3FOFFSET[4], {0, 0, 0});
}

struct TransformCase {
  TGLVECTOR scale, translate, posrot, angles, in, out;
};

class RecordTransformTest : public VertexTest, public ::testing::WithParamInterface<TransformCase> {};

TEST_P(RecordTransformTest, EmitsTheSlotsTransform) {
  const TransformCase& c = GetParam();
  GLVERT3FENABLEEDIT = true;
  GLBASEVERTEX3F.GLVERT3FSETNUM = 1;
  GLBASEVERTEX3F.GLVERT3FTMPSCALE[1] = c.scale;
  GLBASEVERTEX3F.GLVERT3FTMP[1] = c.translate;
  GLBASEVERTEX3F.GLVERT3FTMPPOSROT[1] = c.posrot;
  GLBASEVERTEX3F.GLVERT3FTMPROTATE[1] = c.angles;
  auto pts = draw_points({c.in});
  ASSERT_EQ(pts.size(), 1u);
  expect_vec_near(pts[0], c.out, 1e-6f);
  expect_vec_near(GLBASEVERTEX3F.GLVERT3F[1], c.out, 1e-6f);
  expect_vec_eq(GLBASEVERTEX3F.GLVERT3FOFFSET[1], c.in);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordTransformTest,
    ::testing::Values(
        TransformCase{{2, 2, 2}, {1, 0, 0}, {0, 0, 0}, {0, 0, 90}, {1, 0, 0}, {0, 3, 0}},
        // The offset is added before the turn, which is about the origin.
        TransformCase{{1, 1, 1}, {0, 0, 0}, {0, 1, 0}, {0, 0, 90}, {1, 0, 0}, {-1, 1, 0}},
        // X first, then Z: (0, 1, 0) -> (0, 0, 1) -> (0, 0, 1); (1, 0, 0) -> (1, 0, 0) -> (0, 1, 0).
        TransformCase{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {90, 0, 90}, {0, 1, 0}, {0, 0, 1}},
        TransformCase{{1, 1, 3}, {0, 0, 0}, {0, 0, 0}, {90, 0, 0}, {0, 0, 1}, {0, -3, 0}}));

struct NoSlotCase {
  int setnum, count_before, count_after;
};

class NoSlotTest : public VertexTest, public ::testing::WithParamInterface<NoSlotCase> {};

// Without a slot in the table the vertex goes out as given and nothing is written.
TEST_P(NoSlotTest, EmitsUntransformedAndLeavesTheTable) {
  const NoSlotCase& c = GetParam();
  GLVERT3FENABLEEDIT = true;
  GLBASEVERTEX3F.GLVERT3FSETNUM = c.setnum;
  GLBASEVERTEX3F.GLVERT3FCOUNT = c.count_before;
  GLBASEVERTEX3F.GLVERT3FTMPSCALE[1] = {2, 2, 2};
  GLBASEVERTEX3F.GLVERT3FTMPSCALE[GLVERT3FSLOTS] = {2, 2, 2};
  snapshot();
  auto pts = draw_points({{0.5f, 0.25f, -1.0f}, {1.0f, 2.0f, 3.0f}});
  ASSERT_EQ(pts.size(), 2u);
  expect_vec_eq(pts[0], {0.5f, 0.25f, -1.0f});
  expect_vec_eq(pts[1], {1.0f, 2.0f, 3.0f});
  EXPECT_EQ(GLBASEVERTEX3F.GLVERT3FCOUNT, c.count_after);
  g_before.GLVERT3FMAX = c.setnum;
  g_before.GLVERT3FCOUNT = c.count_after;
  EXPECT_TRUE(table_unchanged());
}

INSTANTIATE_TEST_SUITE_P(Cases, NoSlotTest,
                         ::testing::Values(NoSlotCase{0, 0, 0}, NoSlotCase{-5, 0, 0}, NoSlotCase{5, -3, -1},
                                           NoSlotCase{20000, GLVERT3FSLOTS, GLVERT3FSLOTS + 2},
                                           NoSlotCase{3, 20000, 20000}));

TEST(MatrixTest, ZeroAnglesGiveTheIdentityWithPositiveZero) {
  const TGLBASEMATRIX m = MATRIXEULERDEG({0, 0, 0});
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(m[i][j], i == j ? 1.0f : 0.0f) << i << "," << j;
  EXPECT_FALSE(std::signbit(m[0][2]));
}

struct RotCase {
  TGLVECTOR vec, degrees, out;
};

class RotationTest : public ::testing::TestWithParam<RotCase> {};

TEST_P(RotationTest, TurnsCounterClockwiseAboutEachAxis) {
  const RotCase& c = GetParam();
  expect_vec_near(MATRIXVECROT(c.vec, MATRIXEULERRAD(c.degrees)), c.out, 1e-7f);
}

INSTANTIATE_TEST_SUITE_P(Cases, RotationTest,
                         ::testing::Values(RotCase{{1, 0, 0}, {0, 0, 90}, {0, 1, 0}},
                                           RotCase{{0, 1, 0}, {90, 0, 0}, {0, 0, 1}},
                                           RotCase{{0, 0, 1}, {0, 90, 0}, {1, 0, 0}}));

TEST(MatrixTest, DegTakesRadiansAndRadTakesDegrees) {
  const TGLBASEMATRIX from_rad = MATRIXEULERDEG({0, 0, 1.5707964f});
  const TGLBASEMATRIX from_deg = MATRIXEULERRAD({0, 0, 90});
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(from_rad[i][j], from_deg[i][j]) << i << "," << j;
  const TGLBASEMATRIX ninety_rad = MATRIXEULERDEG({0, 0, 90});
  EXPECT_EQ(ninety_rad[0][0], static_cast<float>(std::cos(90.0)));
  EXPECT_EQ(ninety_rad[0][1], static_cast<float>(std::sin(90.0)));
}

TEST(MatrixTest, DegToRadAndGlVectorRoundToSingle) {
  EXPECT_EQ(DEGTORAD(180), 3.1415927f);
  EXPECT_EQ(DEGTORAD(90), 1.5707964f);
  EXPECT_EQ(DEGTORAD(-45), -0.7853982f);
  const TGLVECTOR v = GLVECTOR(0.1, -2.5, 1.0 / 3.0);
  EXPECT_EQ(v.X, 0.1f);
  EXPECT_EQ(v.Y, -2.5f);
  EXPECT_EQ(v.Z, 0.33333334f);
}

}  // namespace
