// The level: eight textured quads, the walker's column and the grass probes.
#include <GL/gl.h>

#include <random>

#include <tarvex/gl_state.h>
#include <tarvex/matrix.h>
#include <tarvex/primitives.h>
#include <tarvex/texture.h>
#include <tarvex/vertex.h>

#include "demo.h"

namespace rayheight {

TQUAD Q[11] = {};
TVX_Collision::TPREPAREDQUAD PREPAREDQ[8] = {};
TGLVECTOR P1 = {0, 0, 0};
TGLVECTOR P2 = {0, 0, 0};
TGLVECTOR POS1[8][8] = {};
TGLVECTOR POS2[8][8] = {};
float SIZE[8][8] = {};
TGLVECTOR PP[8][8] = {};
int32_t I = 0;
int32_t L = 0;
int32_t M = 0;

namespace {

TQUAD quad(TGLVECTOR a, TGLVECTOR b, TGLVECTOR c, TGLVECTOR d) { return TQUAD{a, b, c, d}; }
TGLVECTOR v(double x, double y, double z) { return Tarvex::GLVECTOR(x, y, z); }

// floor(output * n / 2^32): the high half of the 64-bit product.
int32_t random_below(std::mt19937& gen, uint32_t n) {
  return static_cast<int32_t>((static_cast<uint64_t>(gen()) * n) >> 32);
}

// The next output * 2^-32, in [0, 1).
long double random_real(std::mt19937& gen) { return static_cast<long double>(gen()) * 0x1p-32L; }

}  // namespace

void OPENGL_TEXTURE() {
  Tarvex::TEXTURELOADID("wall02.bmp", 0);
  Tarvex::TEXTURELOADID("stoneblocks.bmp", 1);
  Tarvex::TEXTURELOADTGAID("erba01.tga", 0);
}

void BUILD_SCENE_TABLES() {
  P1 = v(0, -1, 0);
  P2 = v(0, 15, 0);
  // A surface that lies above another at the same X and Z has the higher
  // index: the ray queries keep the last crossing, which is then the highest.
  Q[0] = quad(v(-10, 0, -10), v(10, 0, -10), v(-10, 0, 10), v(10, 0, 10));
  Q[1] = quad(v(-6, 0, 10), v(0, 4, 10), v(-6, 0, 6), v(0, 4, 6));
  Q[2] = quad(v(0, 4, 10), v(10, 4, 10), v(0, 4, 6), v(10, 4, 6));
  Q[3] = quad(v(10, 4, 6), v(10, 4, -10), v(6, 4, 6), v(6, 4, -10));
  Q[4] = quad(v(-10, 4, -10), v(6, 4, -10), v(-10, 4, -2), v(6, 4, -2));
  Q[5] = quad(v(-10, 4, 10), v(-10, 4, -2), v(-6, 4, 10), v(-6, 4, -2));
  Q[6] = quad(v(6, 4, -10), v(0, 8, -10), v(6, 4, -6), v(0, 8, -6));
  Q[7] = quad(v(-10, 8, -10), v(0, 8, -10), v(-10, 8, -6), v(0, 8, -6));
  for (int k = 0; k <= 7; ++k) PREPAREDQ[k] = TVX_Collision::PREPAREQUAD(Q[k].P1, Q[k].P2, Q[k].P3, Q[k].P4);

  // The grass layout is the same on every run: MT19937 seeded with 0, and
  // this construction its only user.
  std::mt19937 gen(0);
  for (I = 0; I <= 6; ++I)
    for (L = 0; L <= 6; ++L) {
      int32_t x = 9 - random_below(gen, 18);
      int32_t z = 9 - random_below(gen, 18);
      POS1[I][L] = v(x, -1, z);
      POS2[I][L] = v(x, 10, z);
      SIZE[I][L] = static_cast<float>(random_real(gen) * 0.75L + 1);
    }
}

void OPENGL_CREATELIST() {
  OPENGL_TEXTURE();
  BUILD_SCENE_TABLES();
}

void QUAD(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3, float X4, float Y4,
          float Z4, float TU, float TV) {
  Tarvex::TWOSIDEON();
  glDisable(GL_CULL_FACE);
  Tarvex::GLBEGIN(GL_QUADS);
  Tarvex::FINDNORMAL(X2, Y2, Z2, X1, Y1, Z1, X3, Y3, Z3);
  glNormal3f(static_cast<float>(Tarvex::FNORMAL[1]), static_cast<float>(Tarvex::FNORMAL[2]),
             static_cast<float>(Tarvex::FNORMAL[3]));
  // The extents come from corners 1 and 2 in X and corners 1 and 4 in Z,
  // whatever the quad's orientation.
  const float s = static_cast<float>((static_cast<long double>(X2) - X1 + 1) * TU);
  const float t = static_cast<float>((static_cast<long double>(Z4) - Z1 + 1) * TV);
  Tarvex::LINEFREE(s, t, 0, t, X2, Y2, Z2, X1, Y1, Z1, true);
  Tarvex::LINEFREE(0, 0, s, 0, X3, Y3, Z3, X4, Y4, Z4, true);
  Tarvex::GLEND();
  glEnable(GL_CULL_FACE);
  Tarvex::TWOSIDEOFF();
}

}  // namespace rayheight
