// Recorded vertices.
#include <tarvex/vertex.h>

#include <tarvex/matrix.h>

namespace Tarvex {

bool GLVERT3FREMOVE = false;
bool GLVERT3FENABLEEDIT = false;
TGLVERTEX3F GLBASEVERTEX3F = {};

void GLVERTEX3FEDIT(float X, float Y, float Z) {
  if (!GLVERT3FENABLEEDIT) {
    // Output suppressed, nothing recorded.
    if (!GLVERT3FREMOVE) glVertex3f(X, Y, Z);
    return;
  }
  TGLVERTEX3F& T = GLBASEVERTEX3F;
  if (T.GLVERT3FCOUNT < T.GLVERT3FMAX) ++T.GLVERT3FCOUNT;
  const int32_t N = T.GLVERT3FCOUNT;
  if (N < 1 || N > GLVERT3FSLOTS) {
    // No slot to record into (a limit of 0 or below leaves the counter at 0;
    // a limit beyond the table lets it run past the end, and the counter is
    // public): the vertex goes out as given and the table is left alone.
    if (!GLVERT3FREMOVE) glVertex3f(X, Y, Z);
    return;
  }

  // Each step is worked out in extended precision and stored as single.
  using L = long double;
  T.GLVERT3FOFFSET[N] = {X, Y, Z};
  TGLVECTOR& S = T.GLVERT3FTMPSCALE[N];
  if (S.X == 0.0f && S.Y == 0.0f && S.Z == 0.0f) S = {1.0f, 1.0f, 1.0f};
  const TGLVECTOR& TR = T.GLVERT3FTMP[N];
  TGLVECTOR& V = T.GLVERT3F[N];
  V.X = static_cast<float>(L(S.X) * X + TR.X);
  V.Y = static_cast<float>(L(S.Y) * Y + TR.Y);
  V.Z = static_cast<float>(L(S.Z) * Z + TR.Z);
  const TGLVECTOR& P = T.GLVERT3FTMPPOSROT[N];
  const TGLVECTOR E = {static_cast<float>(L(P.X) + V.X), static_cast<float>(L(P.Y) + V.Y),
                       static_cast<float>(L(P.Z) + V.Z)};
  V = MATRIXVECROT(E, MATRIXEULERRAD(T.GLVERT3FTMPROTATE[N]));
  if (!GLVERT3FREMOVE) glVertex3f(V.X, V.Y, V.Z);
}

}  // namespace Tarvex
