// The demo's state and procedures: the level, the ray queries, walking, the
// camera and the drawing of one frame.
#pragma once

#include <cstdint>

#include <tarvex/types.h>
#include <tvx_collision/collision.h>

namespace rayheight {

using Tarvex::TGLVECTOR;
using Tarvex::TQUAD;

// The scene quads; 0 to 7 are the level, 8 to 10 stay zero.
extern TQUAD Q[11];
// The level's quads 0 to 7 as the segment/quad test prepares them, made
// with Q by BUILD_SCENE_TABLES: the ray queries test these, and get exactly
// what testing Q gives. Whatever changes Q must build the tables again.
extern TVX_Collision::TPREPAREDQUAD PREPAREDQ[8];
// The walker's column: bottom at Y = -1, top at Y = 15; X and Z follow the walker.
extern TGLVECTOR P1;
extern TGLVECTOR P2;
// The grass probe columns, [0..6][0..6] filled, from Y = -1 to Y = 10.
extern TGLVECTOR POS1[8][8];
extern TGLVECTOR POS2[8][8];
// Scale of each grass billboard, in [1, 1.75).
extern float SIZE[8][8];
// Ground point of each grass probe, found every frame.
extern TGLVECTOR PP[8][8];
// Loop indices shared by the construction and the frame.
extern int32_t I;
extern int32_t L;
extern int32_t M;

// The walker's ground point, eye point, and the eye raised by the head margin.
extern TGLVECTOR P;
extern TGLVECTOR TMEP;
extern TGLVECTOR TMEP1;
// Receives the crossing of the collision query; nothing reads it.
extern TGLVECTOR TMP;
// The last collision query found a crossing: the next keyboard step pushes back.
extern bool CHECKCOLL;
// The debug view is shown.
extern bool DEBUG;

// Loads the textures and builds the scene tables.
void OPENGL_CREATELIST();
void OPENGL_TEXTURE();
// The scene tables alone (no GL): what OPENGL_CREATELIST builds after the textures.
void BUILD_SCENE_TABLES();
// Draws one textured quad with corners 1 to 4 in strip order.
void QUAD(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3, float X4, float Y4,
          float Z4, float TU, float TV);

float GETRAYHIGH(float OFFSET, float INTERSECTION, float MAXHIGH);
// The three queries of a frame, in their order.
void HEIGHT_QUERY();
void COLLISION_QUERY();
void GRASS_QUERY();

// Walking and the debug toggle, from the held keys.
void OPENGL_KEYBOARD();

// One frame of the demo's logic without drawing: the keyboard step and the
// three queries, as the frame runs them. For tests and tools.
void LOGIC_FRAME();
// Back to the state before the first frame (scene tables built afresh).
void RESET_DEMO_STATE();

// Draws one frame into the back buffer.
void OPENGL_DRAW();
void OPENGL_DRAW2D();
void OPENGL_MOUSE2D();

}  // namespace rayheight
