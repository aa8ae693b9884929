// Key scripts: entries, repeats, combined keys, comments, idle frames, and a
// message naming the entry and its place for each kind of mistake.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "key_script.h"

namespace {

using namespace rayheight::trace;

struct Good {
  const char* text;
  std::vector<KeyRun> runs;
  int64_t frames;
};

TEST(KeyScript, ReadsEntries) {
  const Good cases[] = {
      {"W*40", {{KEY_W, 40}}, 40},
      {"SW*10", {{KEY_S | KEY_W, 10}}, 10},
      {"w s\ta\nd z", {{KEY_W, 1}, {KEY_S, 1}, {KEY_A, 1}, {KEY_D, 1}, {KEY_Z, 1}}, 5},
      {"- . .*5 -*2", {{0, 1}, {0, 1}, {0, 5}, {0, 2}}, 9},
      {"wASdz*3", {{KEY_W | KEY_A | KEY_S | KEY_D | KEY_Z, 3}}, 3},
      {"WW*2", {{KEY_W, 2}}, 2},
      {"W*007", {{KEY_W, 7}}, 7},
      {"W # the rest S*9 is a comment\nS*2#and this\n#D\n", {{KEY_W, 1}, {KEY_S, 2}}, 3},
      {"", {}, 0},
      {"  \n\t # nothing\n", {}, 0},
      {"W*1000000", {{KEY_W, 1000000}}, 1000000},
      {"W*999999 -", {{KEY_W, 999999}, {0, 1}}, 1000000},
  };
  for (const Good& c : cases) {
    SCOPED_TRACE(c.text);
    const ParseResult r = parse_key_script(c.text);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.script.frames, c.frames);
    ASSERT_EQ(r.script.runs.size(), c.runs.size());
    for (size_t i = 0; i < c.runs.size(); ++i) {
      EXPECT_EQ(r.script.runs[i].keys, c.runs[i].keys) << "entry " << i + 1;
      EXPECT_EQ(r.script.runs[i].count, c.runs[i].count) << "entry " << i + 1;
    }
  }
}

TEST(KeyScript, ArgumentsEndTheirOwnComments) {
  const ParseResult r = parse_key_script(std::vector<std::string>{"W*2", "# S*9", "d", "A # S"});
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.script.runs.size(), 3u);
  EXPECT_EQ(r.script.runs[1].keys, KEY_D);
  EXPECT_EQ(r.script.runs[2].keys, KEY_A);
  EXPECT_EQ(r.script.frames, 4);
}

struct Bad {
  const char* text;
  const char* entry;  // as quoted in the message
  const char* place;
  const char* why;
};

TEST(KeyScript, NamesTheBadEntryAndWhere) {
  const Bad cases[] = {
      {"W X", "\"X\"", "line 1, column 3 (entry 2)", "'X' is not a key"},
      {"W\n  S Wq*2", "\"Wq*2\"", "line 2, column 5 (entry 3)", "'q' is not a key"},
      {"w*", "\"w*\"", "line 1, column 1 (entry 1)", "no frame count"},
      {"*3", "\"*3\"", "column 1", "no key before"},
      {"W*0", "\"W*0\"", "column 1", "at least 1"},
      {"W*-1", "\"W*-1\"", "column 1", "whole number"},
      {"W*3x", "\"W*3x\"", "column 1", "whole number"},
      {"W*2*2", "\"W*2*2\"", "column 1", "whole number"},
      {"W-", "\"W-\"", "column 1", "stand alone"},
      {"--", "\"--\"", "column 1", "stand alone"},
      {"W*1000001", "\"W*1000001\"", "entry 1", "past 1000000 frames"},
      {"W*600000 S*400001", "\"S*400001\"", "column 10 (entry 2)", "past 1000000 frames"},
      {"W*99999999999999999999999999", "\"W*99999999999999999999999999\"", "entry 1", "past 1000000 frames"},
      {"W \x01", "\"\x01\"", "column 3", "byte 0x01 is not a key"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.text);
    const ParseResult r = parse_key_script(c.text);
    ASSERT_FALSE(r.ok);
    EXPECT_TRUE(r.script.runs.empty());
    EXPECT_NE(r.error.find(c.entry), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(c.place), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(c.why), std::string::npos) << r.error;
  }
}

TEST(KeyScript, ArgumentsArePlacesInMessages) {
  const ParseResult r = parse_key_script(std::vector<std::string>{"W", "S Q"});
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.error.find("\"Q\" at argument 2, column 3 (entry 3)"), std::string::npos) << r.error;
}

TEST(KeyScript, WritesKeysInOneOrder) {
  EXPECT_EQ(key_names(0), "-");
  EXPECT_EQ(key_names(KEY_S | KEY_W), "WS");
  EXPECT_EQ(key_names(KEY_Z | KEY_D | KEY_A | KEY_S | KEY_W), "WSADZ");
  const ParseResult r = parse_key_script("sw*10 . w # x");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(script_text(r.script), "WS*10 - W");
}

}  // namespace
