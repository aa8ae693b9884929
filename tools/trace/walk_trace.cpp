#include "walk_trace.h"

#include <cstring>

#include <tarvex/input.h>

#include "demo.h"

namespace rayheight::trace {

namespace {

// A held key is all bits set at its virtual-key code, which for a letter is
// the upper-case letter's code.
void hold(uint8_t keys) {
  std::memset(Tarvex::SETKEY, 0, sizeof Tarvex::SETKEY);
  const struct {
    uint8_t bit;
    char code;
  } map[] = {{KEY_W, 'W'}, {KEY_S, 'S'}, {KEY_A, 'A'}, {KEY_D, 'D'}, {KEY_Z, 'Z'}};
  for (const auto& m : map)
    if (keys & m.bit) Tarvex::SETKEY[static_cast<unsigned char>(m.code)] = -1;
}

}  // namespace

std::vector<FrameRecord> run_key_script(const KeyScript& script, LevelView* level) {
  RESET_DEMO_STATE();
  hold(0);
  if (level) {
    for (int q = 0; q < 8; ++q) level->quads[q] = Q[q];
    level->start_x = P1.X;
    level->start_z = P1.Z;
  }
  std::vector<FrameRecord> records;
  records.reserve(static_cast<size_t>(script.frames));
  int64_t frame = 0;
  for (const KeyRun& run : script.runs) {
    hold(run.keys);
    for (int64_t n = 0; n < run.count; ++n) {
      LOGIC_FRAME();
      records.push_back({++frame, run.keys, P1.X, P1.Z, P, TMEP, CHECKCOLL, DEBUG});
    }
  }
  hold(0);
  if (level) {
    // The grass probes are placed by the frame's query, so they are read
    // after it has run at least once.
    if (frame == 0) LOGIC_FRAME();
    int k = 0;
    for (int i = 0; i <= 5; ++i)
      for (int l = 0; l <= 5; ++l) level->grass[k++] = PP[i][l];
  }
  return records;
}

}  // namespace rayheight::trace
