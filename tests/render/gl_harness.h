// A real GL context for the rendering tests, and GL feedback capture.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "test_support.h"

namespace render_test {

// Creates the toolkit window (320 x 240) once per process; its context stays current.
void ensure_gl();
// Puts back the state every test starts from: identity matrices with
// GL_MODELVIEW current, no lighting, culling, texturing, alpha test,
// blending or depth test, white colour, and both recording switches off.
void reset_gl();

// One vertex as feedback returns it with GL_3D_COLOR_TEXTURE.
struct FbVertex {
  float x, y, z;     // window coordinates
  float r, g, b, a;  // colour after lighting
  float s, t, p, q;  // texture coordinate
};
struct FbPrim {
  int token;  // GL_POINT_TOKEN, GL_LINE_TOKEN (also for its reset form), GL_POLYGON_TOKEN
  std::vector<FbVertex> v;
};

// The view feedback tests draw in: viewport 256 x 256 and glOrtho over
// -4..4 on every axis, which maps dyadic points to window coordinates exactly.
void feedback_view();
// Window coordinates of the feedback view back to object coordinates.
void to_object(const FbVertex& v, float out[3]);
// Runs draw in feedback mode and returns what it sent down the pipeline.
std::vector<FbPrim> capture(const std::function<void()>& draw);

class GlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    ensure_gl();
    reset_gl();
  }
  void TearDown() override { reset_gl(); }
};

}  // namespace render_test
