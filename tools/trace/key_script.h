// Key scripts: which keys the walker holds in each frame.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rayheight::trace {

// Keys as bits, so that a frame's keys are one small value.
enum : uint8_t { KEY_W = 1, KEY_S = 2, KEY_A = 4, KEY_D = 8, KEY_Z = 16 };

// Past this many frames a script is taken for a mistake.
inline constexpr int64_t MAX_FRAMES = 1000000;

// One entry of a script: the same keys held for `count` frames.
struct KeyRun {
  uint8_t keys;
  int64_t count;
};

struct KeyScript {
  std::vector<KeyRun> runs;
  int64_t frames = 0;
};

// Where the script text came from, for the position in an error message:
// numbered lines of one text, or one command-line argument per "line".
enum class ScriptSource { TEXT, ARGUMENTS };

struct ParseResult {
  bool ok = false;
  KeyScript script;
  std::string error;  // set when !ok: the bad entry and its position
};

// Entries are separated by white space; '#' comments to the end of a line.
ParseResult parse_key_script(std::string_view text, ScriptSource source = ScriptSource::TEXT);
// The script given as separate arguments: a comment ends with its argument.
ParseResult parse_key_script(const std::vector<std::string>& arguments);

// The keys as the trace prints them, "W", "SW", ..., "-" for none; always in
// the order W, S, A, D, Z.
std::string key_names(uint8_t keys);
// The script written back as entries, e.g. "A*28 S*70".
std::string script_text(const KeyScript& script);

}  // namespace rayheight::trace
