// One whole demo frame, the real OPENGL_DRAW with its queries, against a
// plain program that issues the same GL calls for the same picture directly
// from precomputed values. Presents unpaced (vblank_mode=0): both sides swap.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include <tarvex/texture.h>
#include <tarvex/window.h>
#include <tvxp/gl.h>

#include "bench_window.h"
#include "demo.h"

namespace {

struct V {
  float x, y, z;
};
struct PlainQuad {
  V corner[4];  // in the order drawn: corner 2, 1, 3, 4
  float tex[4][2];
  V normal;
  GLuint texture;
};
struct StripVertex {
  V normal;
  float s, t;
  V pos;
};

std::vector<PlainQuad> g_quads;
std::vector<std::vector<StripVertex>> g_strips;
PlainQuad g_grass;
struct Billboard {
  V at;
  float angle, scale;
};
std::vector<Billboard> g_billboards;
V g_ball;

PlainQuad plain_quad(const Tarvex::TQUAD& q, float tu, float tv, GLuint texture) {
  PlainQuad p;
  const V c1{q.P1.X, q.P1.Y, q.P1.Z}, c2{q.P2.X, q.P2.Y, q.P2.Z}, c3{q.P3.X, q.P3.Y, q.P3.Z}, c4{q.P4.X, q.P4.Y, q.P4.Z};
  p.corner[0] = c2;
  p.corner[1] = c1;
  p.corner[2] = c3;
  p.corner[3] = c4;
  const float s = (c2.x - c1.x + 1) * tu, t = (c4.z - c1.z + 1) * tv;
  const float tex[4][2] = {{s, t}, {0, t}, {0, 0}, {s, 0}};
  for (int i = 0; i < 4; ++i) p.tex[i][0] = tex[i][0], p.tex[i][1] = tex[i][1];
  // (c1 - c2) x (c2 - c3), of length 1.
  const V a{c2.x - c1.x, c2.y - c1.y, c2.z - c1.z}, b{c1.x - c3.x, c1.y - c3.y, c1.z - c3.z};
  V n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  p.normal = {n.x / len, n.y / len, n.z / len};
  p.texture = texture;
  return p;
}

// The picture the demo shows with no key held, worked out once.
void prepare_plain() {
  rayheight::RESET_DEMO_STATE();
  rayheight::LOGIC_FRAME();
  rayheight::LOGIC_FRAME();
  const float repeat[8][2] = {{0.2f, 0.2f}, {0.3f, 0.6f}, {0.3f, 0.6f}, {5.0f, 0.1f},
                              {0.3f, 0.3f}, {3.5f, 0.1f}, {0.4f, 0.35f}, {0.4f, 0.35f}};
  g_quads.clear();
  for (int i = 0; i < 8; ++i)
    g_quads.push_back(plain_quad(rayheight::Q[i], repeat[i][0], repeat[i][1], Tarvex::TEXTUREID2[i == 0 ? 0 : 1]));
  Tarvex::TQUAD grass{{-1, 2, 0}, {1, 2, 0}, {-1, 0, 0}, {1, 0, 0}};
  g_grass = plain_quad(grass, 0.33333334f, 1, Tarvex::TEXTURETGA2[0].TEXID);
  g_strips.clear();
  const int slices = 20, bands = 20;
  const float pi = 3.14159265f;
  for (int i = 0; i < bands; ++i) {
    std::vector<StripVertex> strip;
    const float a = i * pi / bands, b = (i + 1) * pi / bands;
    for (int j = 0; j <= slices; ++j) {
      const float c = j * 2 * pi / slices, x = std::cos(c), y = std::sin(c);
      const float s = -static_cast<float>(j) / slices * 3;
      strip.push_back({{x * std::sin(a), y * std::sin(a), std::cos(a)}, s, static_cast<float>(i) / bands * 3,
                       {x * std::sin(a), y * std::sin(a), std::cos(a)}});
      strip.push_back({{x * std::sin(b), y * std::sin(b), std::cos(b)}, s, static_cast<float>(i + 1) / bands * 3,
                       {x * std::sin(b), y * std::sin(b), std::cos(b)}});
    }
    g_strips.push_back(strip);
  }
  g_ball = {rayheight::P.X, rayheight::P.Y + 1, rayheight::P.Z};
  // The eye in world coordinates, for the camera of the demo's start.
  const float tilt = 25 * pi / 180;
  const V eye{0, 3 * std::cos(tilt) + 30 * std::sin(tilt), -3 * std::sin(tilt) + 30 * std::cos(tilt)};
  g_billboards.clear();
  for (int i = 0; i <= 5; ++i)
    for (int l = 0; l <= 5; ++l) {
      const Tarvex::TGLVECTOR p = rayheight::PP[i][l];
      const float angle = std::atan2(eye.x - p.X, eye.z - p.Z) * 180 / pi;
      g_billboards.push_back({{p.X, p.Y, p.Z}, angle, rayheight::SIZE[i][l]});
    }
}

void draw_quad(const PlainQuad& q) {
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  glDisable(GL_CULL_FACE);
  glBegin(GL_QUADS);
  glNormal3f(q.normal.x, q.normal.y, q.normal.z);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(q.tex[i][0], q.tex[i][1]);
    glVertex3f(q.corner[i].x, q.corner[i].y, q.corner[i].z);
  }
  glEnd();
  glEnable(GL_CULL_FACE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

void setup_3d() {
  glClearColor(0, 0, 0, 0);
  glViewport(0, 0, 800, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, 800.0 / 600.0, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearDepth(100.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColor4f(1, 1, 1, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_AUTO_NORMAL);
  glEnable(GL_NORMALIZE);
}

void plain_frame() {
  glClear(GL_COLOR_BUFFER_BIT);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glClearColor(0, 0, 0, 0);
  glViewport(0, 0, 800, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-2, 2, -1.5, 1.5, -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_NORMALIZE);
  setup_3d();
  glTranslatef(0, -3, -30);
  glRotatef(25, 1, 0, 0);
  glTranslatef(0, 0, 0);
  glRotatef(0, 1, 0, 0);
  glRotatef(0, 0, 1, 0);
  const GLfloat light[4] = {0, 10, 5, 0.1f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  for (const PlainQuad& q : g_quads) {
    glBindTexture(GL_TEXTURE_2D, q.texture);
    draw_quad(q);
  }
  glDisable(GL_TEXTURE_2D);
  glPushMatrix();
  glTranslatef(g_ball.x, g_ball.y, g_ball.z);
  glRotatef(90, 1, 0, 0);
  for (const auto& strip : g_strips) {
    glBegin(GL_TRIANGLE_STRIP);
    for (const StripVertex& v : strip) {
      glNormal3f(v.normal.x, v.normal.y, v.normal.z);
      glTexCoord2f(v.s, v.t);
      glVertex3f(v.pos.x, v.pos.y, v.pos.z);
    }
    glEnd();
  }
  glPopMatrix();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.4f);
  glBindTexture(GL_TEXTURE_2D, g_grass.texture);
  for (const Billboard& b : g_billboards) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushMatrix();
    glTranslated(b.at.x, b.at.y, b.at.z);
    glRotatef(b.angle, 0, 1, 0);
    glScalef(b.scale, b.scale, b.scale);
    draw_quad(g_grass);
    glPopMatrix();
    glPopAttrib();
  }
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
}

void BM_DemoFrame(benchmark::State& state) {
  if (!rayheight_bench::bench_window()) {
    state.SkipWithError("no X display");
    return;
  }
  rayheight::RESET_DEMO_STATE();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    rayheight::OPENGL_DRAW();
    tvxp::swap_buffers(Tarvex::DCWINDOW);
  }
  glFinish();
}

void BM_PlainFrame(benchmark::State& state) {
  if (!rayheight_bench::bench_window()) {
    state.SkipWithError("no X display");
    return;
  }
  prepare_plain();
  for (auto _ : state) {
    plain_frame();
    tvxp::swap_buffers(Tarvex::DCWINDOW);
  }
  glFinish();
}

}  // namespace

BENCHMARK(BM_DemoFrame)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_PlainFrame)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
