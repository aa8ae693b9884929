// Walking along the world axes and the debug toggle, from the held keys.
#include <tarvex/input.h>

#include "demo.h"

namespace rayheight {

bool DEBUG = false;

namespace {

const long double STEP = 0.1L;
const long double PUSH_BACK = 0.25L;
const float BOUND = 9;

// Each sum is worked out at extended precision and stored as a single, so
// positions drift by the rounding of repeated steps.
void move_z(long double d) {
  P1.Z = static_cast<float>(P1.Z + d);
  P2.Z = static_cast<float>(P2.Z + d);
}

void move_x(long double d) {
  P1.X = static_cast<float>(P1.X + d);
  P2.X = static_cast<float>(P2.X + d);
}

}  // namespace

void OPENGL_KEYBOARD() {
  using Tarvex::SETGLKEY;
  // The bound is tested before the step, so a coordinate can pass it by one
  // step and then goes no further.
  if (!CHECKCOLL) {
    if (SETGLKEY('S') && P1.Z < BOUND) move_z(STEP);
    if (SETGLKEY('W') && P1.Z > -BOUND) move_z(-STEP);
    if (SETGLKEY('D') && P1.X < BOUND) move_x(STEP);
    if (SETGLKEY('A') && P1.X > -BOUND) move_x(-STEP);
  }
  // The previous frame's query found a collision: back off against each held
  // key instead of walking.
  if (CHECKCOLL) {
    if (SETGLKEY('S')) move_z(-PUSH_BACK);
    if (SETGLKEY('W')) move_z(PUSH_BACK);
    if (SETGLKEY('D')) move_x(-PUSH_BACK);
    if (SETGLKEY('A')) move_x(PUSH_BACK);
  }
  if (SETGLKEY('Z')) DEBUG = !DEBUG;
}

void LOGIC_FRAME() {
  OPENGL_KEYBOARD();
  HEIGHT_QUERY();
  COLLISION_QUERY();
  GRASS_QUERY();
}

void RESET_DEMO_STATE() {
  P = TMEP = TMEP1 = TMP = TGLVECTOR{0, 0, 0};
  CHECKCOLL = false;
  DEBUG = false;
  for (auto& row : PP)
    for (auto& p : row) p = TGLVECTOR{0, 0, 0};
  BUILD_SCENE_TABLES();
}

}  // namespace rayheight
