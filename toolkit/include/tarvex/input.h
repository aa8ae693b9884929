// The window procedure of the toolkit's window and the input state it keeps.
#pragma once

#include <cstdint>

#include <tarvex/types.h>
#include <tarvex/window.h>

namespace Tarvex {

// Held state of each key, indexed by virtual-key code: all bits set while
// held, 0 when released.
extern int32_t SETKEY[501];
extern bool LEFTMOUSEDOWN;
extern bool RIGHTMOUSEDOWN;
extern bool LEFTMOUSEDOWN2;
extern bool RIGHTMOUSEDOWN2;
// Free mouse look: the pointer is held at the window centre and its
// displacement turns the camera. Any key release ends it.
extern bool MOUSEFREE;
extern int32_t SETMX;
extern int32_t SETMY;
extern int32_t SETOMX;
extern int32_t SETOMY;
extern int32_t XCOORD;
extern int32_t YCOORD;
extern int32_t ZCOORD;
extern float XROT;
extern float YROT;
extern float XROT2;
extern float YROT2;
extern float DEPTH;
extern float DEPTH2;
extern tvxp::POINT MPOS;
extern int32_t MSPEED;
extern TGLVERTEX MY;
extern tvxp::MSG MSG_;

inline constexpr int32_t GL_M0 = 0;
inline constexpr int32_t GL_MX = 1;
inline constexpr int32_t GL_MY = 2;
inline constexpr int32_t GL_MZ = 3;

LRESULT GLWNDPROC(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_);
// Lets at most one pending message through; never waits.
void SETGLMSG();
// True while the key whose virtual-key code is the character's code is held.
bool SETGLKEY(char KEY);
// Stores the speed and multiplies the mouse camera onto the current matrix.
void SETGLMOUSEMOVE(int32_t XYZ, int32_t SPEED);

}  // namespace Tarvex
