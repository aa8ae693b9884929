// Euler rotation matrices and the vector constructor.
//
// Every expression is evaluated in extended precision and rounded once when
// it is stored into a single-precision variable or entry, as the x87 code
// this toolkit grew up with did; that keeps each stored value the nearest
// float to its (almost exact) extended value.
#include <tarvex/matrix.h>

#include <cmath>

namespace Tarvex {

namespace {

constexpr long double PI_EXT = 3.141592653589793238462643383279502884L;

}  // namespace

TGLBASEMATRIX MATRIXEULERDEG(TGLVECTOR ANG) {
  const float CR = static_cast<float>(cosl(ANG.X));
  const float SR = static_cast<float>(sinl(ANG.X));
  const float CP = static_cast<float>(cosl(ANG.Y));
  const float SP = static_cast<float>(sinl(ANG.Y));
  const float CY = static_cast<float>(cosl(ANG.Z));
  const float SY = static_cast<float>(sinl(ANG.Z));
  const float SRSP = static_cast<float>(static_cast<long double>(SP) * SR);
  const float CRSP = static_cast<float>(static_cast<long double>(SP) * CR);
  using L = long double;

  // The fourth row and column are left at zero; nothing reads them.
  TGLBASEMATRIX M{};
  M[0][0] = static_cast<float>(L(CY) * CP);
  M[0][1] = static_cast<float>(L(SY) * CP);
  M[0][2] = -SP;
  // sin 0 negated is -0; callers compare matrices bit for bit, so keep +0.
  if (M[0][2] == 0.0f) M[0][2] = 0.0f;
  M[1][0] = static_cast<float>(L(CY) * SRSP - L(SY) * CR);
  M[1][1] = static_cast<float>(L(SY) * SRSP + L(CY) * CR);
  M[1][2] = static_cast<float>(L(CP) * SR);
  M[2][0] = static_cast<float>(L(CY) * CRSP + L(SY) * SR);
  M[2][1] = static_cast<float>(L(SY) * CRSP - L(CY) * SR);
  M[2][2] = static_cast<float>(L(CP) * CR);
  return M;
}

TGLBASEMATRIX MATRIXEULERRAD(TGLVECTOR ANG) {
  return MATRIXEULERDEG({DEGTORAD(ANG.X), DEGTORAD(ANG.Y), DEGTORAD(ANG.Z)});
}

TGLVECTOR MATRIXVECROT(TGLVECTOR VEC, TGLBASEMATRIX ANG) {
  using L = long double;
  TGLVECTOR R;
  R.X = static_cast<float>(L(VEC.X) * ANG[0][0] + L(VEC.Y) * ANG[1][0] + L(VEC.Z) * ANG[2][0]);
  R.Y = static_cast<float>(L(VEC.X) * ANG[0][1] + L(VEC.Y) * ANG[1][1] + L(VEC.Z) * ANG[2][1]);
  R.Z = static_cast<float>(L(VEC.X) * ANG[0][2] + L(VEC.Y) * ANG[1][2] + L(VEC.Z) * ANG[2][2]);
  return R;
}

float DEGTORAD(float DEGREE) { return static_cast<float>((static_cast<long double>(DEGREE) * PI_EXT) / 180.0L); }

TGLVECTOR GLVECTOR(double X, double Y, double Z) {
  return {static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Z)};
}

}  // namespace Tarvex
