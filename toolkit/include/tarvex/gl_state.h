// Fixed GL state recipes for the 3D and 2D set-ups, lights and switches.
#pragma once

#include <cstdint>

namespace Tarvex {

// Colours of every light SETGLLIGHT sets up (R, G, B, A).
extern float AMBIENTLIGHT[4];
extern float DIFFUSELIGHT[4];
extern float SPECULARLIGHT[4];
// The last light position handed to GL (x, y, z, w).
extern float LIGHTPOSITION[4];
// Offsets the 2D set-up derives from the window's shape.
extern float OFFX;
extern float OFFY;

// Perspective set-up with far plane DEPTH; the colour comes alpha first.
void OPENGL_INIT(double DEPTH, double A, double R, double G, double B);
// Orthographic set-up 4 units wide; the colour comes alpha first.
void OPENGL_I2D(double A, double R, double G, double B);
void SETGLREFRACTIVE();
void LIGHTINGON();
void LIGHTINGOFF();
void TWOSIDEON();
void TWOSIDEOFF();
void SETGLSPRITE();
void SETGLSPRITEOFF();
void SETGLLIGHT(uint32_t NLIGHT, float L0, float L1, float L2, float L3);
// Moves the light; a SIZE other than 0 also draws a dot of SIZE pixels there.
void PUTGLPOINTLIGHT(uint32_t NLIGHT, float SIZE, float LX, float LY, float LZ, float LVAL);

}  // namespace Tarvex
