// The immediate-mode wrappers through which every vertex is emitted, with
// their optional output suppression and vertex recording.
#pragma once

#include <cstdint>

#include <GL/gl.h>

#include <tarvex/types.h>

namespace Tarvex {

// Slots are numbered 1..GLVERT3FSLOTS; element 0 of each table is unused.
inline constexpr int32_t GLVERT3FSLOTS = 10000;

// The recording table: per-slot finished vertex, transform and input.
struct TGLVERTEX3F {
  TGLVECTOR GLVERT3F[GLVERT3FSLOTS + 1];
  TGLVECTOR GLVERT3FTMP[GLVERT3FSLOTS + 1];
  TGLVECTOR GLVERT3FTMPROTATE[GLVERT3FSLOTS + 1];
  TGLVECTOR GLVERT3FTMPPOSROT[GLVERT3FSLOTS + 1];
  // (0, 0, 0) counts as unset and becomes (1, 1, 1) when the slot is used.
  TGLVECTOR GLVERT3FTMPSCALE[GLVERT3FSLOTS + 1];
  TGLVECTOR GLVERT3FOFFSET[GLVERT3FSLOTS + 1];
  // The current slot; 0 while none has been taken.
  int32_t GLVERT3FCOUNT;
  // The highest slot the counter may advance to.
  int32_t GLVERT3FMAX;
  // The limit GLBEGIN copies into GLVERT3FMAX.
  int32_t GLVERT3FSETNUM;
};

// The one table: static, all zero at start, never allocated.
extern TGLVERTEX3F GLBASEVERTEX3F;

// When true the wrappers send nothing to GL.
extern bool GLVERT3FREMOVE;
// When true GLVERTEX3F records each vertex into its slot and transforms it.
extern bool GLVERT3FENABLEEDIT;

// The recording (or suppressed) path of GLVERTEX3F, out of line so that the
// common path stays one test and one GL call.
void GLVERTEX3FEDIT(float X, float Y, float Z);

inline void GLBEGIN(uint32_t MODE) {
  if (!GLVERT3FREMOVE) glBegin(MODE);
  GLBASEVERTEX3F.GLVERT3FMAX = GLBASEVERTEX3F.GLVERT3FSETNUM;
}

inline void GLVERTEX3F(float X, float Y, float Z) {
  // Bitwise or: both switches are read with a single branch.
  if (!(GLVERT3FREMOVE | GLVERT3FENABLEEDIT)) {
    glVertex3f(X, Y, Z);
    return;
  }
  GLVERTEX3FEDIT(X, Y, Z);
}

inline void GLEND() {
  if (!GLVERT3FREMOVE) glEnd();
}

}  // namespace Tarvex
