// Records shared by every module of the toolkit, the collision module and the demo.
#pragma once

#include <cstdint>

namespace Tarvex {

// A point, direction or normal: three single-precision floats.
struct TGLVECTOR {
  float X;
  float Y;
  float Z;
};

// Same layout as TGLVECTOR; kept as its own record because callers name it so.
struct TGLVERTEX {
  float X;
  float Y;
  float Z;
};

// Four corners in strip order: the outline runs P1 -> P2 -> P4 -> P3.
struct TQUAD {
  TGLVECTOR P1;
  TGLVECTOR P2;
  TGLVECTOR P3;
  TGLVECTOR P4;
};

// Row-vector convention: row i is the image of the i-th axis; only the
// upper-left 3 x 3 block is computed.
// A record rather than a bare array so that it can be passed and returned by value.
struct TGLBASEMATRIX {
  float M[4][4];
  float* operator[](int row) { return M[row]; }
  const float* operator[](int row) const { return M[row]; }
};

// A TGA image in memory with its GL texture name and pixel format.
struct TGATEXTURE {
  uint8_t* IMAGEDATA;
  uint32_t BPP;
  uint32_t WIDTH;
  uint32_t HEIGHT;
  uint32_t TEXID;
  uint32_t TYP;
};

}  // namespace Tarvex
