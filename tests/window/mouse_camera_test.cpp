// The mouse camera multiplied onto the model-view matrix.
#include <GL/gl.h>

#include <cmath>

#include <tarvex/input.h>
#include <tarvex/window.h>

#include "test_support.h"
#include "window_fixture.h"

namespace {

using namespace Tarvex;

struct Mat {
  double m[16];  // column-major, as GL keeps it
};

Mat identity() {
  Mat r{};
  r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
  return r;
}

Mat mul(const Mat& a, const Mat& b) {
  Mat r{};
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k) r.m[c * 4 + row] += a.m[k * 4 + row] * b.m[c * 4 + k];
  return r;
}

Mat translate(double x, double y, double z) {
  Mat r = identity();
  r.m[12] = x;
  r.m[13] = y;
  r.m[14] = z;
  return r;
}

// The rotation GL defines for glRotate.
Mat rotate(double deg, double x, double y, double z) {
  double len = std::sqrt(x * x + y * y + z * z);
  x /= len;
  y /= len;
  z /= len;
  double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a);
  Mat r = identity();
  r.m[0] = x * x * (1 - c) + c;
  r.m[4] = x * y * (1 - c) - z * s;
  r.m[8] = x * z * (1 - c) + y * s;
  r.m[1] = y * x * (1 - c) + z * s;
  r.m[5] = y * y * (1 - c) + c;
  r.m[9] = y * z * (1 - c) - x * s;
  r.m[2] = x * z * (1 - c) - y * s;
  r.m[6] = y * z * (1 - c) + x * s;
  r.m[10] = z * z * (1 - c) + c;
  return r;
}

struct Row {
  int32_t xyz;
  double tx, ty, tz;             // translation, in units of DEPTH
  double ax1, ay1, az1;          // axis of the XROT turn
  double ax2, ay2, az2;          // axis of the YROT turn
};

class MouseCameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    tvx_test::ensure_toolkit_window();
    tvx_test::reset_input_state();
  }
};

TEST_F(MouseCameraTest, FourAxisRows) {
  const Row rows[] = {
      {GL_M0, 0, 0, -1, 1, 0, 0, 0, 1, 0},
      {GL_MX, 0, -1, 0, 1, 0, 0, 0, 0, 1},
      {GL_MY, -1, 0, 0, 0, 0, -1, 0, 1, 0},
      {GL_MZ, 0, 0, -1, 0, 1, 0, 1, 0, 0},
  };
  DEPTH = 5;
  XROT = 30;
  YROT = 45;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.xyz);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);  // the calls multiply onto whatever is current
    SETGLMOUSEMOVE(r.xyz, 7);
    EXPECT_EQ(MSPEED, 7);
    EXPECT_FLOAT_EQ(MY.X, r.tx * 5);
    EXPECT_FLOAT_EQ(MY.Y, r.ty * 5);
    EXPECT_FLOAT_EQ(MY.Z, r.tz * 5);
    Mat want = mul(mul(mul(translate(1, 2, 3), translate(r.tx * 5, r.ty * 5, r.tz * 5)),
                       rotate(30, r.ax1, r.ay1, r.az1)),
                   rotate(45, r.ax2, r.ay2, r.az2));
    GLfloat got[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, got);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want.m[i], 1e-5) << "element " << i;
  }
}

TEST_F(MouseCameraTest, OutOfRangeAxisOnlyStoresTheSpeed) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  DEPTH = 5;
  XROT = 30;
  MY = {9, 9, 9};
  SETGLMOUSEMOVE(4, 3);
  EXPECT_EQ(MSPEED, 3);
  EXPECT_FLOAT_EQ(MY.X, 9);
  GLfloat got[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, got);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(got[i], (i % 5 == 0) ? 1.0f : 0.0f);
}

}  // namespace
