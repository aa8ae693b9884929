// The demo's logic run headless under a key script, one record per frame.
#pragma once

#include <cstdint>
#include <vector>

#include <tarvex/types.h>

#include "key_script.h"

namespace rayheight::trace {

struct FrameRecord {
  int64_t frame;  // 1-based
  uint8_t keys;
  float column_x, column_z;  // P1.X, P1.Z
  Tarvex::TGLVECTOR ground;  // P
  Tarvex::TGLVECTOR eye;     // TMEP
  bool checkcoll;
  bool debug;
};

// The level as the trace saw it, for the picture.
struct LevelView {
  Tarvex::TQUAD quads[8];
  Tarvex::TGLVECTOR grass[36];  // the probes that carry grass, in drawing order
  float start_x, start_z;       // the column before the first frame
};

// Resets the demo to its state before the first frame and runs the script;
// the key table is left with no key held.
std::vector<FrameRecord> run_key_script(const KeyScript& script, LevelView* level = nullptr);

}  // namespace rayheight::trace
