// One demo frame's drawing calls through the toolkit's wrappers, against the
// same GL calls issued directly: the wrappers should cost next to nothing
// while recording and output suppression are off.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <tarvex/gl_state.h>
#include <tarvex/primitives.h>
#include <tarvex/vertex.h>
#include <tarvex/window.h>
#include <tvxp/window.h>

#include "bench_window.h"

namespace {

using namespace Tarvex;

struct Quad {
  float c[4][3];
  float tu, tv;
};

// The level's eight quads and the grass quad, corners in strip order.
const Quad LEVEL[8] = {
    {{{-10, 0, -10}, {10, 0, -10}, {-10, 0, 10}, {10, 0, 10}}, 0.2f, 0.2f},
    {{{-6, 0, 10}, {0, 4, 10}, {-6, 0, 6}, {0, 4, 6}}, 0.3f, 0.6f},
    {{{0, 4, 10}, {10, 4, 10}, {0, 4, 6}, {10, 4, 6}}, 0.3f, 0.6f},
    {{{10, 4, 6}, {10, 4, -10}, {6, 4, 6}, {6, 4, -10}}, 5.0f, 0.1f},
    {{{-10, 4, -10}, {6, 4, -10}, {-10, 4, -2}, {6, 4, -2}}, 0.3f, 0.3f},
    {{{-10, 4, 10}, {-10, 4, -2}, {-6, 4, 10}, {-6, 4, -2}}, 3.5f, 0.1f},
    {{{6, 4, -10}, {0, 8, -10}, {6, 4, -6}, {0, 8, -6}}, 0.4f, 0.35f},
    {{{-10, 8, -10}, {0, 8, -10}, {-10, 8, -6}, {0, 8, -6}}, 0.4f, 0.35f}};
const Quad GRASS = {{{-1, 2, 0}, {1, 2, 0}, {-1, 0, 0}, {1, 0, 0}}, 0.33333334f, 1.0f};

float grass_x(int i) { return -9.0f + 3.0f * static_cast<float>(i % 6); }
float grass_z(int i) { return -9.0f + 3.0f * static_cast<float>(i / 6); }

bool context_ready() { return rayheight_bench::bench_window(); }

void camera() {
  OPENGL_INIT(100.0, 0, 0, 0, 0);
  glTranslatef(0, -2, -30);
  glRotatef(30, 1, 0, 0);
}

void normal_of(const Quad& q) {
  FINDNORMAL(q.c[1][0], q.c[1][1], q.c[1][2], q.c[0][0], q.c[0][1], q.c[0][2], q.c[2][0], q.c[2][1], q.c[2][2]);
  glNormal3f(static_cast<float>(FNORMAL[1]), static_cast<float>(FNORMAL[2]), static_cast<float>(FNORMAL[3]));
}

void tex_extent(const Quad& q, float& s, float& t) {
  s = static_cast<float>((static_cast<long double>(q.c[1][0]) - q.c[0][0] + 1) * q.tu);
  t = static_cast<float>((static_cast<long double>(q.c[3][2]) - q.c[0][2] + 1) * q.tv);
}

void quad_toolkit(const Quad& q) {
  float s, t;
  TWOSIDEON();
  glDisable(GL_CULL_FACE);
  GLBEGIN(GL_QUADS);
  normal_of(q);
  tex_extent(q, s, t);
  LINEFREE(s, t, 0, t, q.c[1][0], q.c[1][1], q.c[1][2], q.c[0][0], q.c[0][1], q.c[0][2], true);
  LINEFREE(0, 0, s, 0, q.c[2][0], q.c[2][1], q.c[2][2], q.c[3][0], q.c[3][1], q.c[3][2], true);
  GLEND();
  glEnable(GL_CULL_FACE);
  TWOSIDEOFF();
}

void quad_direct(const Quad& q) {
  float s, t;
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  glDisable(GL_CULL_FACE);
  glBegin(GL_QUADS);
  normal_of(q);
  tex_extent(q, s, t);
  glTexCoord2f(s, t);
  glVertex3f(q.c[1][0], q.c[1][1], q.c[1][2]);
  glTexCoord2f(0, t);
  glVertex3f(q.c[0][0], q.c[0][1], q.c[0][2]);
  glTexCoord2f(0, 0);
  glVertex3f(q.c[2][0], q.c[2][1], q.c[2][2]);
  glTexCoord2f(s, 0);
  glVertex3f(q.c[3][0], q.c[3][1], q.c[3][2]);
  glEnd();
  glEnable(GL_CULL_FACE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

// The sphere's own loop with the GL calls made directly.
void sphere_direct(float PX, float PY, float PZ, float RADIUS, int32_t NUMCIRCLE, int32_t NUMLINE, float TSIZE) {
  using L = long double;
  const L PI = 3.141592653589793238462643383279502884L;
  const float MAJORSTEP = static_cast<float>(PI / NUMLINE);
  const float MINORSTEP = static_cast<float>((2.0L * PI) / NUMCIRCLE);
  for (int32_t I = 0; I < NUMLINE; ++I) {
    const float A = static_cast<float>(L(I) * MAJORSTEP);
    const float B = static_cast<float>(L(MAJORSTEP) + A);
    const float R0 = static_cast<float>(sinl(A) * RADIUS), R1 = static_cast<float>(sinl(B) * RADIUS);
    const float Z0 = static_cast<float>(cosl(A) * RADIUS), Z1 = static_cast<float>(cosl(B) * RADIUS);
    const float T0 = static_cast<float>((L(I) / NUMLINE) / TSIZE);
    const float T1 = static_cast<float>((L(I + 1) / NUMLINE) / TSIZE);
    glBegin(GL_TRIANGLE_STRIP);
    for (int32_t J = 0; J <= NUMCIRCLE; ++J) {
      const float C = static_cast<float>(L(J) * MINORSTEP);
      const float X = static_cast<float>(cosl(C)), Y = static_cast<float>(sinl(C));
      const float S = static_cast<float>((L(-J) / NUMCIRCLE) / TSIZE);
      glNormal3f(static_cast<float>(L(X) * R0 / RADIUS), static_cast<float>(L(Y) * R0 / RADIUS),
                 static_cast<float>(L(Z0) / RADIUS));
      glTexCoord2f(S, T0);
      glVertex3f(static_cast<float>(L(X) * R0 + PX), static_cast<float>(L(Y) * R0 + PY),
                 static_cast<float>(L(Z0) + PZ));
      glNormal3f(static_cast<float>(L(X) * R1 / RADIUS), static_cast<float>(L(Y) * R1 / RADIUS),
                 static_cast<float>(L(Z1) / RADIUS));
      glTexCoord2f(S, T1);
      glVertex3f(static_cast<float>(L(X) * R1 + PX), static_cast<float>(L(Y) * R1 + PY),
                 static_cast<float>(L(Z1) + PZ));
    }
    glEnd();
  }
}

void frame_toolkit() {
  camera();
  for (const Quad& q : LEVEL) quad_toolkit(q);
  glPushMatrix();
  glTranslatef(0, 1, 0);
  glRotatef(90, 1, 0, 0);
  SFERA(0, 0, 0, 1, 20, 20, 0.33333334f);
  glPopMatrix();
  SETGLSPRITE();
  for (int i = 0; i < 36; ++i) {
    BILLBOARDBEGIN(grass_x(i), 0, grass_z(i));
    quad_toolkit(GRASS);
    BILLBOARDEND();
  }
  SETGLSPRITEOFF();
}

void frame_direct() {
  camera();
  for (const Quad& q : LEVEL) quad_direct(q);
  glPushMatrix();
  glTranslatef(0, 1, 0);
  glRotatef(90, 1, 0, 0);
  sphere_direct(0, 0, 0, 1, 20, 20, 0.33333334f);
  glPopMatrix();
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.4f);
  for (int i = 0; i < 36; ++i) {
    // The turn is the same computation either way; only its vertices differ.
    BILLBOARDBEGIN(grass_x(i), 0, grass_z(i));
    quad_direct(GRASS);
    BILLBOARDEND();
  }
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
}

template <void (*FRAME)()>
void run_frames(benchmark::State& state) {
  if (!context_ready()) {
    state.SkipWithError("no X display: run under Xvfb");
    return;
  }
  GLVERT3FREMOVE = false;
  GLVERT3FENABLEEDIT = false;
  for (auto _ : state) {
    FRAME();
    // Rasterising is the driver's work, the same for both: keep it out of the timing.
    state.PauseTiming();
    glFinish();
    state.ResumeTiming();
  }
}

void BM_FrameCallsToolkit(benchmark::State& state) { run_frames<frame_toolkit>(state); }
void BM_FrameCallsDirect(benchmark::State& state) { run_frames<frame_direct>(state); }

BENCHMARK(BM_FrameCallsToolkit);
BENCHMARK(BM_FrameCallsDirect);

}  // namespace
