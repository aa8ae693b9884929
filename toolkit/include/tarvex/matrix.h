// Euler rotation matrices, their application to vectors, and the vector
// constructor shared by every module.
#pragma once

#include <tarvex/types.h>

namespace Tarvex {

// ANG holds radians about X, Y and Z (the name is historical).
TGLBASEMATRIX MATRIXEULERDEG(TGLVECTOR ANG);
// ANG holds degrees about X, Y and Z (the name is historical).
TGLBASEMATRIX MATRIXEULERRAD(TGLVECTOR ANG);
// VEC as a row vector times the upper-left 3 x 3 block of ANG.
TGLVECTOR MATRIXVECROT(TGLVECTOR VEC, TGLBASEMATRIX ANG);
float DEGTORAD(float DEGREE);
TGLVECTOR GLVECTOR(double X, double Y, double Z);

}  // namespace Tarvex
