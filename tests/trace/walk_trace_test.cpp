// The demo's walking under a script, as the trace records it: short walks,
// a walk under a walkway, a bump under the first ramp, the debug toggle.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <tarvex/input.h>

#include "key_script.h"
#include "trace_output.h"
#include "walk_trace.h"

namespace {

using namespace rayheight::trace;

std::vector<FrameRecord> trace(const char* text, LevelView* level = nullptr) {
  const ParseResult r = parse_key_script(text);
  EXPECT_TRUE(r.ok) << r.error;
  return run_key_script(r.script, level);
}

TEST(WalkTrace, WalksAwayFromTheViewerOnTheGround) {
  const std::vector<FrameRecord> t = trace("W*3");
  ASSERT_EQ(t.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t[i].frame, i + 1);
    EXPECT_EQ(t[i].keys, KEY_W);
    EXPECT_EQ(t[i].column_x, 0);
    EXPECT_NEAR(t[i].column_z, -0.1 * (i + 1), 1e-6);
    EXPECT_EQ(t[i].ground.Y, 0);
    EXPECT_EQ(t[i].eye.Y, 2);
    EXPECT_EQ(t[i].eye.Z, t[i].column_z);
    EXPECT_FALSE(t[i].checkcoll);
    EXPECT_FALSE(t[i].debug);
  }
  // Nothing is crossed in the first frame: the ground point stays at the origin.
  EXPECT_EQ(t[0].ground.Z, 0);
}

TEST(WalkTrace, PassesUnderTheWalkwayWithoutClimbing) {
  const std::vector<FrameRecord> t = trace("S*70");
  ASSERT_EQ(t.size(), 70u);
  for (const FrameRecord& r : t) {
    EXPECT_EQ(r.ground.Y, 0) << "frame " << r.frame;
    EXPECT_EQ(r.eye.Y, 2) << "frame " << r.frame;
    EXPECT_FALSE(r.checkcoll) << "frame " << r.frame;
  }
  EXPECT_NEAR(t.back().column_z, 7.0, 1e-4);
}

TEST(WalkTrace, BumpsUnderTheFirstRampAndIsPushedBack) {
  const std::vector<FrameRecord> t = trace("A*28 S*70");
  ASSERT_EQ(t.size(), 98u);
  EXPECT_NEAR(t[27].column_x, -2.8, 1e-5);
  int first = -1;
  for (const FrameRecord& r : t)
    if (r.checkcoll && first < 0) first = static_cast<int>(r.frame);
  // 28 frames to the side, then 61 steps of 0.1 to Z = 6.1 under the ramp,
  // whose underside there is within the head margin above the eye.
  ASSERT_EQ(first, 28 + 61);
  EXPECT_NEAR(t[first - 1].column_z, 6.1, 1e-4);
  EXPECT_EQ(t[first - 1].ground.Y, 0);
  EXPECT_NEAR(t[first].column_z, 5.85, 1e-4);
  EXPECT_FALSE(t[first].checkcoll);
  EXPECT_NEAR(t[first].column_x, -2.8, 1e-5);
  // It never gets through while S is held.
  for (const FrameRecord& r : t) EXPECT_LT(r.column_z, 6.2f) << "frame " << r.frame;
}

TEST(WalkTrace, ZFlipsTheDebugViewEveryFrameItIsHeld) {
  const std::vector<FrameRecord> t = trace("Z*3 - Z");
  std::vector<bool> debug;
  for (const FrameRecord& r : t) debug.push_back(r.debug);
  EXPECT_EQ(debug, (std::vector<bool>{true, false, true, true, false}));
}

TEST(WalkTrace, StartsAfreshAndLeavesNoKeyHeld) {
  const std::vector<FrameRecord> a = trace("D*5 S*3");
  const std::vector<FrameRecord> b = trace("D*5 S*3");
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].column_x, b[i].column_x);
    EXPECT_EQ(a[i].column_z, b[i].column_z);
  }
  for (int32_t k : Tarvex::SETKEY) ASSERT_EQ(k, 0);
}

TEST(WalkTrace, LevelViewHoldsTheQuadsAndTheGrassThatIsDrawn) {
  LevelView level;
  trace("", &level);
  EXPECT_EQ(level.quads[0].P4.X, 10);
  EXPECT_EQ(level.quads[0].P4.Z, 10);
  EXPECT_EQ(level.quads[6].P2.Y, 8);
  EXPECT_EQ(level.start_x, 0);
  EXPECT_EQ(level.start_z, 0);
  // Probe [0][0] at (0, -1) on the ground, [0][1] at (-6, -1) on the walkway.
  EXPECT_EQ(level.grass[0].X, 0);
  EXPECT_EQ(level.grass[0].Z, -1);
  EXPECT_EQ(level.grass[0].Y, 0);
  EXPECT_EQ(level.grass[1].X, -6);
  EXPECT_EQ(level.grass[1].Y, 4);
}

std::string csv_of(const std::vector<FrameRecord>& t) {
  std::FILE* f = std::tmpfile();
  EXPECT_TRUE(write_csv(f, t));
  std::rewind(f);
  std::string s;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  std::fclose(f);
  return s;
}

TEST(TraceCsv, OneLinePerFrameWithFloatsThatReadBack) {
  const std::vector<FrameRecord> t = trace("A*28 S*70 ZD*3");
  std::istringstream in(csv_of(t));
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, CSV_HEADER);
  size_t n = 0;
  while (std::getline(in, line)) {
    ASSERT_LT(n, t.size());
    const FrameRecord& r = t[n++];
    std::vector<std::string> f;
    std::stringstream cells(line);
    for (std::string c; std::getline(cells, c, ',');) f.push_back(c);
    ASSERT_EQ(f.size(), 12u) << line;
    EXPECT_EQ(f[0], std::to_string(r.frame));
    EXPECT_EQ(f[1], key_names(r.keys));
    const float want[8] = {r.column_x, r.column_z, r.ground.X, r.ground.Y, r.ground.Z, r.eye.X, r.eye.Y, r.eye.Z};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(std::strtof(f[2 + k].c_str(), nullptr), want[k]) << line;
    EXPECT_EQ(f[10], r.checkcoll ? "1" : "0");
    EXPECT_EQ(f[11], r.debug ? "1" : "0");
  }
  EXPECT_EQ(n, t.size());
}

TEST(TraceCsv, ShortWalkAsText) {
  EXPECT_EQ(csv_of(trace("W*2 .")), std::string(CSV_HEADER) +
                                        "\n1,W,0,-0.1,0,0,0,0,2,-0.1,0,0\n"
                                        "2,W,0,-0.2,0,0,-0.16666667,0,2,-0.2,0,0\n"
                                        "3,-,0,-0.2,0,0,-0.2,0,2,-0.2,0,0\n");
}

}  // namespace
