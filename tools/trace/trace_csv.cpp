#include <charconv>

#include "trace_output.h"

namespace rayheight::trace {

std::string float_text(float f) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, f);
  return std::string(buf, r.ptr);
}

bool write_csv(std::FILE* out, const std::vector<FrameRecord>& records) {
  std::fprintf(out, "%s\n", CSV_HEADER);
  std::string line;
  for (const FrameRecord& r : records) {
    line = std::to_string(r.frame);
    line += ',';
    line += key_names(r.keys);
    for (float f : {r.column_x, r.column_z, r.ground.X, r.ground.Y, r.ground.Z, r.eye.X, r.eye.Y, r.eye.Z}) {
      line += ',';
      line += float_text(f);
    }
    line += r.checkcoll ? ",1" : ",0";
    line += r.debug ? ",1\n" : ",0\n";
    std::fwrite(line.data(), 1, line.size(), out);
  }
  return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace rayheight::trace
