// Normals, lines, textured vertex pairs and spheres.
//
// Working values have the types their names are declared with (FNORMAL
// double, the sphere's steps, angles, radii and coordinates single); each
// expression is evaluated in extended precision and rounded only when it is
// stored, or when it is handed to GL as a single-precision argument. So
// "held as single" means: rounded to single at each assignment, never
// between the operations of one expression.
#include <tarvex/primitives.h>

#include <cmath>
#include <vector>

#include <GL/gl.h>

#include <tarvex/vertex.h>

namespace Tarvex {

double FNORMAL[4] = {0.0, 0.0, 0.0, 0.0};

namespace {

using L = long double;
constexpr L PI_EXT = 3.141592653589793238462643383279502884L;

// A sphere's sines and cosines depend on its tessellation alone, so they are
// worked out once for each tessellation and reused: the same values, without
// a thousand extended-precision sines and cosines in every frame.
struct Rings {
  int32_t numcircle = -1;
  std::vector<float> x, y;  // cos C and sin C of each slice edge
};
struct Bands {
  int32_t numline = -1;
  std::vector<L> sin_a, sin_b, cos_a, cos_b;  // of each band's upper and lower edge
};

constexpr int32_t MAX_CACHED = 4096;

const Rings& rings(int32_t NUMCIRCLE, float MINORSTEP) {
  static Rings r;
  if (r.numcircle != NUMCIRCLE) {
    r.numcircle = NUMCIRCLE;
    r.x.assign(static_cast<size_t>(NUMCIRCLE) + 1, 0);
    r.y.assign(static_cast<size_t>(NUMCIRCLE) + 1, 0);
    for (int32_t J = 0; J <= NUMCIRCLE; ++J) {
      const float C = static_cast<float>(L(J) * MINORSTEP);
      r.x[static_cast<size_t>(J)] = static_cast<float>(cosl(C));
      r.y[static_cast<size_t>(J)] = static_cast<float>(sinl(C));
    }
  }
  return r;
}

const Bands& bands(int32_t NUMLINE, float MAJORSTEP) {
  static Bands b;
  if (b.numline != NUMLINE) {
    b.numline = NUMLINE;
    b.sin_a.assign(static_cast<size_t>(NUMLINE), 0);
    b.sin_b = b.cos_a = b.cos_b = b.sin_a;
    for (int32_t I = 0; I < NUMLINE; ++I) {
      const float A = static_cast<float>(L(I) * MAJORSTEP);
      // The sum, not (I + 1) * MAJORSTEP: the bands' edges are chained.
      const float B = static_cast<float>(L(MAJORSTEP) + A);
      b.sin_a[static_cast<size_t>(I)] = sinl(A);
      b.sin_b[static_cast<size_t>(I)] = sinl(B);
      b.cos_a[static_cast<size_t>(I)] = cosl(A);
      b.cos_b[static_cast<size_t>(I)] = cosl(B);
    }
  }
  return b;
}

}  // namespace

void FINDNORMAL(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X, double V3Y,
                double V3Z) {
  const double AX = static_cast<double>(L(V1X) - V2X);
  const double AY = static_cast<double>(L(V1Y) - V2Y);
  const double AZ = static_cast<double>(L(V1Z) - V2Z);
  const double BX = static_cast<double>(L(V2X) - V3X);
  const double BY = static_cast<double>(L(V2Y) - V3Y);
  const double BZ = static_cast<double>(L(V2Z) - V3Z);
  FNORMAL[1] = static_cast<double>(L(AY) * BZ - L(AZ) * BY);
  FNORMAL[2] = static_cast<double>(L(AZ) * BX - L(AX) * BZ);
  FNORMAL[3] = static_cast<double>(L(AX) * BY - L(AY) * BX);
  REDUCETOUNIT(FNORMAL[1], FNORMAL[2], FNORMAL[3]);
}

void REDUCETOUNIT(double& X, double& Y, double& Z) {
  float LENGTH = static_cast<float>(sqrtl(L(X) * X + L(Y) * Y + L(Z) * Z));
  // A zero vector is divided by 1 and stays zero instead of turning into NaN.
  if (LENGTH == 0.0f) LENGTH = 1.0f;
  X = static_cast<double>(L(X) / LENGTH);
  Y = static_cast<double>(L(Y) / LENGTH);
  Z = static_cast<double>(L(Z) / LENGTH);
}

void LINE(float X1, float Y1, float Z1, float X2, float Y2, float Z2) {
  GLBEGIN(GL_LINES);
  GLVERTEX3F(X1, Y1, Z1);
  GLVERTEX3F(X2, Y2, Z2);
  GLEND();
}

void LINEFREE(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2, float Y2, float Z2,
              bool TEXTURE) {
  if (TEXTURE) glTexCoord2f(TX1, TY1);
  GLVERTEX3F(X1, Y1, Z1);
  if (TEXTURE) glTexCoord2f(TX2, TY2);
  GLVERTEX3F(X2, Y2, Z2);
}

void SFERA(float PX, float PY, float PZ, float RADIUS, int32_t NUMCIRCLE, int32_t NUMLINE, float TSIZE) {
  const float MAJORSTEP = static_cast<float>(PI_EXT / NUMLINE);
  const float MINORSTEP = static_cast<float>((2.0L * PI_EXT) / NUMCIRCLE);
  if (NUMLINE <= 0) return;
  // Tessellations too fine to keep tables for are worked out as they go.
  const Bands* band = NUMLINE <= MAX_CACHED ? &bands(NUMLINE, MAJORSTEP) : nullptr;
  const Rings* ring = NUMCIRCLE >= 0 && NUMCIRCLE <= MAX_CACHED ? &rings(NUMCIRCLE, MINORSTEP) : nullptr;
  for (int32_t I = 0; I < NUMLINE; ++I) {
    const size_t i = static_cast<size_t>(I);
    const float A = static_cast<float>(L(I) * MAJORSTEP);
    const float B = static_cast<float>(L(MAJORSTEP) + A);
    const float R0 = static_cast<float>((band ? band->sin_a[i] : sinl(A)) * RADIUS);
    const float R1 = static_cast<float>((band ? band->sin_b[i] : sinl(B)) * RADIUS);
    const float Z0 = static_cast<float>((band ? band->cos_a[i] : cosl(A)) * RADIUS);
    const float Z1 = static_cast<float>((band ? band->cos_b[i] : cosl(B)) * RADIUS);
    const float T0 = static_cast<float>((L(I) / NUMLINE) / TSIZE);
    const float T1 = static_cast<float>((L(I + 1) / NUMLINE) / TSIZE);
    GLBEGIN(GL_TRIANGLE_STRIP);
    // J runs to NUMCIRCLE inclusive: the last edge closes the band at 2 pi.
    for (int32_t J = 0; J <= NUMCIRCLE; ++J) {
      const float C = static_cast<float>(L(J) * MINORSTEP);
      const float X = ring ? ring->x[static_cast<size_t>(J)] : static_cast<float>(cosl(C));
      const float Y = ring ? ring->y[static_cast<size_t>(J)] : static_cast<float>(sinl(C));
      // -J is an integer negation, so the first edge's s is +0.
      const float S = static_cast<float>((L(-J) / NUMCIRCLE) / TSIZE);
      glNormal3f(static_cast<float>(L(X) * R0 / RADIUS), static_cast<float>(L(Y) * R0 / RADIUS),
                 static_cast<float>(L(Z0) / RADIUS));
      glTexCoord2f(S, T0);
      GLVERTEX3F(static_cast<float>(L(X) * R0 + PX), static_cast<float>(L(Y) * R0 + PY),
                 static_cast<float>(L(Z0) + PZ));
      glNormal3f(static_cast<float>(L(X) * R1 / RADIUS), static_cast<float>(L(Y) * R1 / RADIUS),
                 static_cast<float>(L(Z1) / RADIUS));
      glTexCoord2f(S, T1);
      GLVERTEX3F(static_cast<float>(L(X) * R1 + PX), static_cast<float>(L(Y) * R1 + PY),
                 static_cast<float>(L(Z1) + PZ));
    }
    GLEND();
  }
}

}  // namespace Tarvex
