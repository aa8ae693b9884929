// The frame procedure: a fixed sequence of steps, once per loop pass.
#include <GL/gl.h>

#include <tarvex/gl_state.h>
#include <tarvex/input.h>
#include <tarvex/primitives.h>
#include <tarvex/texture.h>

#include "demo.h"

namespace rayheight {

namespace {

const double FAR_PLANE = 100.0;
const float GRASS_TU = 0.33333334f;  // the single nearest to 1/3: s runs from 0 to exactly 1

void draw_scene_quads() {
  // Texturing and lighting are on here: the loaders leave texturing on, and
  // every frame ends with both on.
  struct Repeat {
    float tu, tv;
  };
  static const Repeat repeat[8] = {{0.2f, 0.2f}, {0.3f, 0.6f}, {0.3f, 0.6f}, {5.0f, 0.1f},
                                   {0.3f, 0.3f}, {3.5f, 0.1f}, {0.4f, 0.35f}, {0.4f, 0.35f}};
  for (I = 0; I <= 7; ++I) {
    if (I == 0) Tarvex::TEXTURESELECTID(0);
    if (I == 1) Tarvex::TEXTURESELECTID(1);
    const TQUAD& q = Q[I];
    QUAD(q.P1.X, q.P1.Y, q.P1.Z, q.P2.X, q.P2.Y, q.P2.Z, q.P3.X, q.P3.Y, q.P3.Z, q.P4.X, q.P4.Y, q.P4.Z, repeat[I].tu,
         repeat[I].tv);
  }
}

void draw_ball() {
  Tarvex::TEXTUREOFF();
  glPushMatrix();
  glTranslatef(P.X, static_cast<float>(static_cast<long double>(P.Y) + 1.0L), P.Z);
  // The sphere's poles turn from the Z axis to the Y axis.
  glRotatef(90, 1, 0, 0);
  Tarvex::SFERA(0, 0, 0, 1.0f, 20, 20, GRASS_TU);
  glPopMatrix();
  Tarvex::TEXTUREON();
}

void draw_grass() {
  Tarvex::SETGLSPRITE();
  Tarvex::TEXTURETGASELECTID(0);
  for (I = 0; I <= 5; ++I)
    for (L = 0; L <= 5; ++L) {
      Tarvex::BILLBOARDBEGIN(PP[I][L].X, PP[I][L].Y, PP[I][L].Z);
      const float s = SIZE[I][L];
      glScalef(s, s, s);
      QUAD(-1, 2, 0, 1, 2, 0, -1, 0, 0, 1, 0, 0, GRASS_TU, 1);
      Tarvex::BILLBOARDEND();
    }
  Tarvex::SETGLSPRITEOFF();
}

void draw_debug_lines() {
  Tarvex::TEXTUREOFF();
  Tarvex::LIGHTINGOFF();
  glColor3f(0.5f, 0.5f, 0);
  Tarvex::LINE(P1.X, P1.Y, P1.Z, TMEP.X, TMEP.Y, TMEP.Z);
  glColor3f(0, 0.5f, 0);
  Tarvex::LINE(TMEP.X, TMEP.Y, TMEP.Z, TMEP1.X, TMEP1.Y, TMEP1.Z);
  glColor3f(0.5f, 0, 0);
  for (I = 0; I <= 6; ++I)
    for (L = 0; L <= 6; ++L)
      Tarvex::LINE(POS1[I][L].X, POS1[I][L].Y, POS1[I][L].Z, POS2[I][L].X, POS2[I][L].Y, POS2[I][L].Z);
  Tarvex::LIGHTINGON();
  Tarvex::TEXTUREON();
}

}  // namespace

// The frame's place for 2D drawing, empty here; its net effect is that the
// 3D set-up is made afresh every frame and the camera starts from identity.
void OPENGL_DRAW2D() {
  Tarvex::OPENGL_I2D(0, 0, 0, 0);
  Tarvex::OPENGL_INIT(FAR_PLANE, 0, 0, 0, 0);
}

void OPENGL_MOUSE2D() {}

void OPENGL_DRAW() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OPENGL_DRAW2D();
  OPENGL_MOUSE2D();
  OPENGL_KEYBOARD();
  // The camera looks at the whole level from outside; the mouse turns it.
  glTranslatef(0, -3, -30);
  glRotatef(25, 1, 0, 0);
  Tarvex::SETGLMOUSEMOVE(Tarvex::GL_M0, 2);
  // Set after the camera, the light stays fixed in the scene as the view turns.
  Tarvex::PUTGLPOINTLIGHT(GL_LIGHT0, 0, 0, 10, 5, 0.1f);
  // The queries run before the drawing, so the picture shows the walker at
  // the height found in this same frame.
  HEIGHT_QUERY();
  COLLISION_QUERY();
  GRASS_QUERY();
  draw_scene_quads();
  draw_ball();
  draw_grass();
  if (DEBUG) draw_debug_lines();
}

}  // namespace rayheight
