// Billboards: drawing turned about the vertical axis to face the viewer.
//
// The eye position and the turn angle are evaluated in extended precision
// and rounded once to the type they are stored in (single for the vectors,
// double for the angle, single for the degrees handed to glRotatef).
#include <tarvex/primitives.h>

#include <cmath>

#include <GL/gl.h>

#include <tvx_collision/collision.h>

namespace Tarvex {

namespace {

using L = long double;
constexpr L PI_EXT = 3.141592653589793238462643383279502884L;

// One component of -R^T t from GL's column-major matrix.
float eye_component(const float* M, int a, int b, int c) {
  return static_cast<float>((-L(M[a]) * M[12]) - L(M[13]) * M[b] - L(M[14]) * M[c]);
}

}  // namespace

TGLVECTOR GETVIEWPORT() {
  float M[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, M);
  return {eye_component(M, 0, 1, 2), eye_component(M, 4, 5, 6), eye_component(M, 8, 9, 10)};
}

void BILLBOARDBEGIN(float X, float Y, float Z) {
  using TVX_Collision::DOT;
  using TVX_Collision::NORMALIZE;
  using TVX_Collision::VECSUB;
  const TGLVECTOR VIEWPT = GETVIEWPORT();
  const TGLVECTOR B = {X, Y, Z};
  const TGLVECTOR N = {0.0f, 0.0f, 1.0f};
  const TGLVECTOR P = NORMALIZE(VECSUB(VIEWPT, B));
  const TGLVECTOR PY = {0.0f, P.Y, 0.0f};
  // NaN when the viewer is straight above or below (or at) the sprite.
  const TGLVECTOR PXZ = NORMALIZE(VECSUB(P, PY));
  const TGLVECTOR LOCALY = {0.0f, 1.0f, 0.0f};
  const TGLVECTOR ROT1 = TVX_Collision::CROSS(N, PXZ);
  float D = DOT(N, PXZ);
  // Above 1 and NaN both become 1, so such a viewer leaves the sprite unturned.
  if (!(D <= 1.0f)) D = 1.0f;
  // Rounding could leave a unit dot product just below -1; arccos would give
  // NaN there and glRotatef a matrix of NaNs.
  if (D < -1.0f) D = -1.0f;
  double THETA = static_cast<double>(acosl(D));
  // A NaN dot product does not negate.
  if (DOT(ROT1, LOCALY) < 0.0f) THETA = -THETA;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  glTranslated(X, Y, Z);
  glRotatef(static_cast<float>(180.0L * THETA / PI_EXT), 0.0f, 1.0f, 0.0f);
}

void BILLBOARDEND() {
  glPopMatrix();
  glPopAttrib();
}

}  // namespace Tarvex
