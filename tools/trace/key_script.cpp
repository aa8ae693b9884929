#include "key_script.h"

#include <cctype>

namespace rayheight::trace {

namespace {

struct KeyLetter {
  char letter;
  uint8_t bit;
};
const KeyLetter KEY_LETTERS[] = {{'W', KEY_W}, {'S', KEY_S}, {'A', KEY_A}, {'D', KEY_D}, {'Z', KEY_Z}};

uint8_t key_bit(char c) {
  const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const KeyLetter& k : KEY_LETTERS)
    if (k.letter == up) return k.bit;
  return 0;
}

bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string printable(char c) {
  if (std::isprint(static_cast<unsigned char>(c))) return std::string("'") + c + "'";
  static const char HEX[] = "0123456789abcdef";
  const unsigned char u = static_cast<unsigned char>(c);
  return std::string("byte 0x") + HEX[u >> 4] + HEX[u & 15];
}

struct Parser {
  ScriptSource source = ScriptSource::TEXT;
  int line = 1;  // line of the text, or argument number
  ParseResult result;

  bool fail(std::string_view entry, int column, int index, const std::string& why) {
    result.ok = false;
    result.error = "bad entry \"" + std::string(entry) + "\" at " +
                   (source == ScriptSource::ARGUMENTS ? "argument " : "line ") + std::to_string(line) +
                   ", column " + std::to_string(column) + " (entry " + std::to_string(index) + "): " + why;
    return false;
  }

  // One entry: KEYS [ '*' COUNT ], KEYS being key letters or one '-' / '.'.
  bool entry(std::string_view e, int column) {
    const int index = static_cast<int>(result.script.runs.size()) + 1;
    const size_t star = e.find('*');
    const std::string_view keys = e.substr(0, star);
    if (keys.empty()) return fail(e, column, index, "no key before '*'");
    uint8_t bits = 0;
    if (keys == "-" || keys == ".") {
      bits = 0;
    } else {
      for (size_t i = 0; i < keys.size(); ++i) {
        const uint8_t bit = key_bit(keys[i]);
        if (bit == 0) {
          if (keys[i] == '-' || keys[i] == '.')
            return fail(e, column, index, "'-' and '.' stand alone for a frame with no key");
          return fail(e, column, index,
                      printable(keys[i]) + " is not a key (keys are W, S, A, D and Z; '-' or '.' for none)");
        }
        bits |= bit;
      }
    }
    int64_t count = 1;
    if (star != std::string_view::npos) {
      const std::string_view digits = e.substr(star + 1);
      if (digits.empty()) return fail(e, column, index, "no frame count after '*'");
      count = 0;
      for (char c : digits) {
        if (c < '0' || c > '9') return fail(e, column, index, "the frame count after '*' must be a whole number");
        // Saturate: anything past the limit is reported as such below.
        if (count <= MAX_FRAMES) count = count * 10 + (c - '0');
      }
      if (count == 0) return fail(e, column, index, "a frame count must be at least 1");
    }
    if (count > MAX_FRAMES - result.script.frames)
      return fail(e, column, index,
                  "the script would run past " + std::to_string(MAX_FRAMES) + " frames, the most a trace holds");
    result.script.runs.push_back({bits, count});
    result.script.frames += count;
    return true;
  }

  // Entries of one text; `line` is advanced at each newline of a text, while
  // an argument keeps its number and counts a newline as one more column.
  bool text(std::string_view t) {
    size_t i = 0;
    int column = 1;
    while (i < t.size()) {
      const char c = t[i];
      if (c == '\n' && source == ScriptSource::TEXT) {
        ++line;
        column = 1;
        ++i;
      } else if (c == '#') {
        while (i < t.size() && t[i] != '\n') ++i;
      } else if (is_space(c)) {
        ++column;
        ++i;
      } else {
        size_t j = i;
        while (j < t.size() && !is_space(t[j]) && t[j] != '#') ++j;
        if (!entry(t.substr(i, j - i), column)) return false;
        column += static_cast<int>(j - i);
        i = j;
      }
    }
    return true;
  }
};

}  // namespace

ParseResult parse_key_script(std::string_view text, ScriptSource source) {
  Parser p;
  p.source = source;
  p.result.ok = p.text(text);
  if (!p.result.ok) p.result.script = {};
  return p.result;
}

ParseResult parse_key_script(const std::vector<std::string>& arguments) {
  Parser p;
  p.source = ScriptSource::ARGUMENTS;
  p.result.ok = true;
  for (size_t a = 0; a < arguments.size() && p.result.ok; ++a) {
    p.line = static_cast<int>(a) + 1;
    p.result.ok = p.text(arguments[a]);
  }
  if (!p.result.ok) p.result.script = {};
  return p.result;
}

std::string key_names(uint8_t keys) {
  std::string s;
  for (const KeyLetter& k : KEY_LETTERS)
    if (keys & k.bit) s += k.letter;
  return s.empty() ? "-" : s;
}

std::string script_text(const KeyScript& script) {
  std::string s;
  for (const KeyRun& r : script.runs) {
    if (!s.empty()) s += ' ';
    s += key_names(r.keys);
    if (r.count != 1) s += "*" + std::to_string(r.count);
  }
  return s;
}

}  // namespace rayheight::trace
