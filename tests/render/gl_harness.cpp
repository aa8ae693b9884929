#include "gl_harness.h"

#include <GL/gl.h>

#include <cstring>

#include <tarvex/vertex.h>
#include <tarvex/window.h>

#include "test_support.h"

namespace render_test {

void ensure_gl() {
  static bool created = false;
  if (created) return;
  created = true;
  Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
  Tarvex::CREATEOGLWINDOW("render tests", 320, 240, 32, false);
}

void reset_gl() {
  Tarvex::GLVERT3FREMOVE = false;
  Tarvex::GLVERT3FENABLEEDIT = false;
  Tarvex::WIDTH = 320;
  Tarvex::HEIGHT = 240;
  const GLenum off[] = {GL_LIGHTING,   GL_CULL_FACE, GL_TEXTURE_2D, GL_ALPHA_TEST, GL_BLEND,
                        GL_DEPTH_TEST, GL_LIGHT0,    GL_LIGHT1,     GL_LIGHT2,     GL_NORMALIZE};
  for (GLenum cap : off) glDisable(cap);
  glDepthMask(GL_TRUE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  glPointSize(1.0f);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glTexCoord4f(0.0f, 0.0f, 0.0f, 1.0f);
  glViewport(0, 0, 320, 240);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void feedback_view() {
  glViewport(0, 0, 256, 256);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-4.0, 4.0, -4.0, 4.0, -4.0, 4.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void to_object(const FbVertex& v, float out[3]) {
  out[0] = (v.x / 128.0f - 1.0f) * 4.0f;
  out[1] = (v.y / 128.0f - 1.0f) * 4.0f;
  // glOrtho turns z round: eye z = -4 is the near plane.
  out[2] = -(v.z * 2.0f - 1.0f) * 4.0f;
}

std::vector<FbPrim> capture(const std::function<void()>& draw) {
  static GLfloat buffer[1 << 18];
  glFeedbackBuffer(sizeof buffer / sizeof buffer[0], GL_3D_COLOR_TEXTURE, buffer);
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  EXPECT_GE(n, 0) << "feedback buffer too small";
  std::vector<FbPrim> prims;
  auto read_vertex = [&](GLint& i) {
    FbVertex v;
    std::memcpy(&v, &buffer[i], sizeof v);
    i += 11;
    return v;
  };
  for (GLint i = 0; i < n;) {
    const int token = static_cast<int>(buffer[i++]);
    FbPrim p{token, {}};
    int count = 0;
    switch (token) {
      case GL_POINT_TOKEN:
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        count = 1;
        break;
      case GL_LINE_TOKEN:
      case GL_LINE_RESET_TOKEN:
        p.token = GL_LINE_TOKEN;
        count = 2;
        break;
      case GL_POLYGON_TOKEN:
        count = static_cast<int>(buffer[i++]);
        break;
      case GL_PASS_THROUGH_TOKEN:
        ++i;
        continue;
      default:
        ADD_FAILURE() << "unknown feedback token " << token;
        return prims;
    }
    for (int k = 0; k < count; ++k) p.v.push_back(read_vertex(i));
    prims.push_back(p);
  }
  return prims;
}

}  // namespace render_test
