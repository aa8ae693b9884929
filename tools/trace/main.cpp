// rayheight-trace: the demo's walking and ray queries frame by frame, under a
// key script, without a window.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "key_script.h"
#include "trace_output.h"
#include "walk_trace.h"

namespace {

using namespace rayheight::trace;

const char* const USAGE =
    "usage: rayheight-trace [-o FILE] [--svg FILE] [--] [SCRIPT ENTRY...]\n"
    "\n"
    "Runs the demo's walking and ray queries headless, one frame per script entry\n"
    "frame, and prints one CSV line per frame:\n"
    "  frame,keys,column_x,column_z,p_x,p_y,p_z,eye_x,eye_y,eye_z,checkcoll,debug\n"
    "(the walker's column, its ground point, its eye point, whether the head\n"
    "bumped, whether the debug view is on).\n"
    "\n"
    "The key script is the arguments or, when there are none, standard input:\n"
    "entries separated by white space, '#' comments to the end of the line.\n"
    "  W, S, A, D   a frame with that key held (letters in any case)\n"
    "  SW           a frame with S and W held together\n"
    "  Z            flips the debug view (every frame it is held)\n"
    "  - or .       a frame with no key held\n"
    "  ENTRY*N      N frames of that entry, e.g. W*40, SW*10, .*5\n"
    "At most 1000000 frames in all.\n"
    "\n"
    "Options:\n"
    "  -o FILE      write the CSV to FILE instead of standard output\n"
    "  --svg FILE   also draw the level from above with the walker's path\n"
    "  -h, --help   print this text\n"
    "\n"
    "Example: rayheight-trace A*28 S*70 --svg bump.svg\n"
    "Exit status: 0 done, 1 a file could not be written, 2 bad arguments or script.\n";

int usage_error(const std::string& message) {
  std::fprintf(stderr, "rayheight-trace: %s\n(rayheight-trace --help for usage)\n", message.c_str());
  return 2;
}

// An idle entry ("-", "-*5") looks like an option, so only these are options.
bool is_idle_entry(const std::string& a) { return a == "-" || a.rfind("-*", 0) == 0; }

std::FILE* open_output(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) std::fprintf(stderr, "rayheight-trace: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
  return f;
}

bool close_output(std::FILE* f, const std::string& path, bool written) {
  const int saved = errno;
  const bool ok = std::fclose(f) == 0 && written;
  if (!ok)
    std::fprintf(stderr, "rayheight-trace: writing %s failed: %s\n", path.c_str(),
                 std::strerror(errno ? errno : saved));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string csv_path, svg_path;
  std::vector<std::string> entries;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (options_done || a.empty() || a[0] != '-' || is_idle_entry(a)) {
      entries.push_back(a);
    } else if (a == "--") {
      options_done = true;
    } else if (a == "-h" || a == "--help") {
      std::fputs(USAGE, stdout);
      return 0;
    } else if (a == "-o" || a == "--output" || a == "--svg") {
      if (i + 1 >= argc) return usage_error(a + " needs a file name");
      (a == "--svg" ? svg_path : csv_path) = argv[++i];
      if ((a == "--svg" ? svg_path : csv_path).empty()) return usage_error(a + " needs a file name");
    } else if (a.rfind("--output=", 0) == 0 || a.rfind("--svg=", 0) == 0) {
      const size_t eq = a.find('=');
      const std::string value = a.substr(eq + 1);
      if (value.empty()) return usage_error(a.substr(0, eq) + " needs a file name");
      (a[2] == 's' ? svg_path : csv_path) = value;
    } else {
      return usage_error("unknown option \"" + a + "\"");
    }
  }
  if (!csv_path.empty() && csv_path == svg_path) return usage_error("-o and --svg name the same file");

  ParseResult parsed;
  if (!entries.empty()) {
    parsed = parse_key_script(entries);
  } else {
    if (isatty(STDIN_FILENO))
      std::fputs("rayheight-trace: reading the key script from standard input (end it with Ctrl-D)\n", stderr);
    const std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    parsed = parse_key_script(text, ScriptSource::TEXT);
  }
  if (!parsed.ok) return usage_error(parsed.error);

  // Both files are opened before anything is run or written, so a name that
  // cannot be written costs nothing.
  std::FILE* csv = stdout;
  if (!csv_path.empty() && !(csv = open_output(csv_path))) return 1;
  std::FILE* svg = nullptr;
  if (!svg_path.empty() && !(svg = open_output(svg_path))) {
    if (csv != stdout) {
      std::fclose(csv);
      std::remove(csv_path.c_str());
    }
    return 1;
  }

  LevelView level;
  const std::vector<FrameRecord> records = run_key_script(parsed.script, &level);

  int status = 0;
  errno = 0;
  const bool csv_ok = write_csv(csv, records);
  if (csv == stdout) {
    if (!csv_ok) {
      std::fprintf(stderr, "rayheight-trace: writing standard output failed: %s\n", std::strerror(errno));
      status = 1;
    }
  } else if (!close_output(csv, csv_path, csv_ok)) {
    status = 1;
  }
  if (svg) {
    errno = 0;
    const std::string title = "rayheight-trace: " + (parsed.script.runs.empty() ? "(no frames)" : script_text(parsed.script));
    const bool svg_ok = write_svg(svg, records, level, title);
    if (!close_output(svg, svg_path, svg_ok)) status = 1;
  }
  return status;
}
