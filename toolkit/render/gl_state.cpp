// GL state set-up and lights.
#include <tarvex/gl_state.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <tarvex/vertex.h>
#include <tarvex/window.h>

namespace Tarvex {

float AMBIENTLIGHT[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float DIFFUSELIGHT[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float SPECULARLIGHT[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float LIGHTPOSITION[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float OFFX = 0.0f;
float OFFY = 0.0f;

void OPENGL_INIT(double DEPTH, double A, double R, double G, double B) {
  glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B), static_cast<float>(A));
  glViewport(0, 0, WIDTH, HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(WIDTH) / static_cast<double>(HEIGHT), 0.1, DEPTH);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // GL clamps this to 0..1, so any far plane of 1 or more clears to the back.
  glClearDepth(DEPTH);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  // Selected only: blending itself stays off.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_AUTO_NORMAL);
  glEnable(GL_NORMALIZE);
}

void OPENGL_I2D(double A, double R, double G, double B) {
  // Integer quotient: 0 for any window wider than tall. The offsets are
  // formed in extended precision and rounded once to single.
  const int32_t Q = HEIGHT / WIDTH;
  OFFX = static_cast<float>(static_cast<long double>(Q) - 2.05L);
  OFFY = static_cast<float>(static_cast<long double>(Q) - 1.45L);
  glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B), static_cast<float>(A));
  glViewport(0, 0, WIDTH, HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // Integer products, floating-point quotients.
  glOrtho(-2.0, 2.0, static_cast<double>(-2 * HEIGHT) / WIDTH, static_cast<double>(2 * HEIGHT) / WIDTH, -2.0, 2.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_NORMALIZE);
}

void SETGLREFRACTIVE() {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
}

void LIGHTINGON() { glEnable(GL_LIGHTING); }
void LIGHTINGOFF() { glDisable(GL_LIGHTING); }
void TWOSIDEON() { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1); }
void TWOSIDEOFF() { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0); }

void SETGLSPRITE() {
  glEnable(GL_ALPHA_TEST);
  // Alpha 0.4 or less is cut away: transparent texels make holes, no blending.
  glAlphaFunc(GL_GREATER, 0.4f);
}

void SETGLSPRITEOFF() {
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
}

void SETGLLIGHT(uint32_t NLIGHT, float L0, float L1, float L2, float L3) {
  glEnable(GL_LIGHTING);
  glLightfv(NLIGHT, GL_AMBIENT, AMBIENTLIGHT);
  glLightfv(NLIGHT, GL_DIFFUSE, DIFFUSELIGHT);
  glLightfv(NLIGHT, GL_SPECULAR, SPECULARLIGHT);
  glEnable(NLIGHT);
  LIGHTPOSITION[0] = L0;
  LIGHTPOSITION[1] = L1;
  LIGHTPOSITION[2] = L2;
  LIGHTPOSITION[3] = L3;
  glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION);
}

void PUTGLPOINTLIGHT(uint32_t NLIGHT, float SIZE, float LX, float LY, float LZ, float LVAL) {
  LIGHTPOSITION[0] = LX;
  LIGHTPOSITION[1] = LY;
  LIGHTPOSITION[2] = LZ;
  LIGHTPOSITION[3] = LVAL;
  glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION);
  if (SIZE == 0.0f) return;
  // The dot stays at (LX, LY, LZ) whatever LVAL is; the point size is left set.
  glPointSize(SIZE);
  GLBEGIN(GL_POINTS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  GLVERTEX3F(LX, LY, LZ);
  GLEND();
}

}  // namespace Tarvex
