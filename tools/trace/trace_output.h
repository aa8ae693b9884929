// The trace written out: CSV rows and a picture of the level from above.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "walk_trace.h"

namespace rayheight::trace {

inline constexpr const char* CSV_HEADER = "frame,keys,column_x,column_z,p_x,p_y,p_z,eye_x,eye_y,eye_z,checkcoll,debug";

// The shortest text that reads back as the same float.
std::string float_text(float f);

// False when the stream reported a write error.
bool write_csv(std::FILE* out, const std::vector<FrameRecord>& records);
bool write_svg(std::FILE* out, const std::vector<FrameRecord>& records, const LevelView& level,
               const std::string& title);

}  // namespace rayheight::trace
