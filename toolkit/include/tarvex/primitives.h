// Ready-made geometry: normals, lines, textured vertex pairs, spheres and
// billboards, all emitted through the vertex wrappers.
#pragma once

#include <cstdint>

#include <tarvex/types.h>

namespace Tarvex {

// The last normal FINDNORMAL computed: indices 1..3 are X, Y, Z.
extern double FNORMAL[4];

// Normal of the triangle V1, V2, V3 into FNORMAL, on the side from which
// V1 -> V2 -> V3 runs counter-clockwise; (0, 0, 0) for a degenerate one.
void FINDNORMAL(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X, double V3Y,
                double V3Z);
// Scales (X, Y, Z) in place to length 1 (to single precision); a zero
// vector stays zero.
void REDUCETOUNIT(double& X, double& Y, double& Z);
// One segment as its own GL_LINES block.
void LINE(float X1, float Y1, float Z1, float X2, float Y2, float Z2);
// Two vertices into the caller's open primitive, each after its texture
// coordinate when TEXTURE is true.
void LINEFREE(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2, float Y2, float Z2,
              bool TEXTURE);
// A sphere about the Z axis: NUMLINE triangle strips of NUMCIRCLE slices,
// outside counter-clockwise, texture repeated 1/TSIZE times.
void SFERA(float PX, float PY, float PZ, float RADIUS, int32_t NUMCIRCLE, int32_t NUMLINE, float TSIZE);

// The viewer's position in the current object coordinates, from the
// modelview matrix (exact while it holds only rotations and translations).
TGLVECTOR GETVIEWPORT();
// Saves all attributes and the matrix, moves the origin to (X, Y, Z) and
// turns it about Y so that its +Z faces the viewer. Needs GL_MODELVIEW current.
void BILLBOARDBEGIN(float X, float Y, float Z);
// Undoes BILLBOARDBEGIN and every attribute change made since.
void BILLBOARDEND();

}  // namespace Tarvex
