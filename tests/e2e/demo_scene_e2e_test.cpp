// The real demo's picture, read back from its window: the level where the
// camera puts it, the ball walking, the debug lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "demo_program.h"
#include "x_driver.h"

namespace {


struct Rgb {
  int r, g, b;
};
Rgb rgb(unsigned p) { return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)}; }

bool is_ball(unsigned p) {
  Rgb c = rgb(p);
  return c.r > 170 && c.g > 170 && c.b > 170 && std::abs(c.r - c.g) < 25 && std::abs(c.g - c.b) < 25;
}
bool is_brick(unsigned p) {
  Rgb c = rgb(p);
  return c.r > c.g + 30 && c.r > c.b + 30;
}
bool is_grass(unsigned p) {
  Rgb c = rgb(p);
  return c.g > c.r + 15 && c.g > c.b + 15;
}
// The grass probe columns of the debug view: (0.5, 0, 0), unlit, untextured.
bool is_debug_red(unsigned p) {
  Rgb c = rgb(p);
  return c.r >= 120 && c.r <= 135 && c.g < 8 && c.b < 8;
}

class DemoSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* d = std::getenv("DISPLAY");
    ASSERT_TRUE(d && *d) << "no X display: run the tests under Xvfb (./test.sh does)";
    // Paced presents (60 Hz here): walking is counted per frame.
    program_ = tvx_e2e::start(RAYHEIGHT_BIN, tvx_e2e::demo_bin_dir(), {"vblank_mode=1"});
    tvx_e2e::WindowInfo box;
    ASSERT_TRUE(tvx_e2e::find_window("Video!", 10, &box)) << tvx_e2e::read_stderr(program_);
    tvx_e2e::sleep_ms(100);
    tvx_e2e::tap("n");
    ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 10, &window_)) << tvx_e2e::read_stderr(program_);
    tvx_e2e::sleep_ms(500);
    ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 1, &window_));
  }
  void TearDown() override {
    if (tvx_e2e::running(program_)) tvx_e2e::wait_exit(program_, 0);
  }

  std::vector<unsigned> frame() {
    int w = 0, h = 0;
    std::vector<unsigned> px = tvx_e2e::pixels(window_.id, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    return px;
  }
  // Centre of the ball's pixels, or y = -1 when none is seen.
  static void ball_centre(const std::vector<unsigned>& px, double* x, double* y) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int j = 0; j < 600; ++j)
      for (int i = 0; i < 800; ++i)
        if (is_ball(px[static_cast<size_t>(j * 800 + i)])) {
          sx += i;
          sy += j;
          ++n;
        }
    *x = n ? sx / n : -1;
    *y = n > 50 ? sy / n : -1;
  }
  static int count(const std::vector<unsigned>& px, bool (*pred)(unsigned)) {
    int n = 0;
    for (unsigned p : px) n += pred(p);
    return n;
  }

  tvx_e2e::Program program_;
  tvx_e2e::WindowInfo window_;
};

TEST_F(DemoSceneTest, TheLevelIsWhereTheCameraPutsIt) {
  std::vector<unsigned> px = frame();
  ASSERT_EQ(px.size(), 800u * 600u);
  // The ball stands on the origin: its centre (0, 1, 0) projects to about (400, 351).
  double bx, by;
  ball_centre(px, &bx, &by);
  EXPECT_NEAR(bx, 400, 6);
  EXPECT_NEAR(by, 351, 15);  // lit from above, its bright part sits high
  // The ground square in front of the ball, (0, 0, 8), projects to about (400, 503): brick.
  int bricks = 0;
  for (int dy = -4; dy <= 4; ++dy)
    for (int dx = -20; dx <= 20; ++dx) bricks += is_brick(px[static_cast<size_t>((503 + dy) * 800 + 400 + dx)]);
  EXPECT_GT(bricks, 200);
  // Grass tufts stand on the level, and the sky above it is black.
  EXPECT_GT(count(px, is_grass), 5000);
  EXPECT_EQ(px[static_cast<size_t>(20 * 800 + 20)], 0u);
  EXPECT_EQ(count(px, is_debug_red), 0);
  tvx_e2e::tap("Escape");
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0) << tvx_e2e::read_stderr(program_);
}

TEST_F(DemoSceneTest, HoldingSWalksTheBallTowardsTheViewer) {
  double x0, y0, x1, y1;
  ball_centre(frame(), &x0, &y0);
  ASSERT_GT(y0, 0);
  tvx_e2e::key_down("s");
  tvx_e2e::sleep_ms(400);  // about 24 frames: 2.4 units, still on open ground
  tvx_e2e::key_up("s");
  tvx_e2e::sleep_ms(200);
  ball_centre(frame(), &x1, &y1);
  ASSERT_GT(y1, 0);
  EXPECT_GT(y1, y0 + 15) << "the ball comes nearer, lower in the picture";
  EXPECT_NEAR(x1, x0, 15);  // grass in front of the ball shifts its bright centre a little
  tvx_e2e::tap("Escape");
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0);
}

TEST_F(DemoSceneTest, ZShowsTheDebugLines) {
  // Z flips the view in every frame it is held, so while it is held the
  // lines show in every other frame.
  bool seen = false;
  tvx_e2e::key_down("z");
  for (int i = 0; i < 30 && !seen; ++i) {
    tvx_e2e::sleep_ms(7);
    seen = count(frame(), is_debug_red) > 300;
  }
  tvx_e2e::key_up("z");
  EXPECT_TRUE(seen);
  tvx_e2e::tap("Escape");
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0);
}

}  // namespace
