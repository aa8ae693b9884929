// The real demo, driven from outside: the question, the window, the ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "demo_program.h"
#include "x_driver.h"

namespace {

const char QUESTION_CAPTION[] = "Video!";

class DemoWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* d = std::getenv("DISPLAY");
    ASSERT_TRUE(d && *d) << "no X display: run the tests under Xvfb (./test.sh does)";
    program_ = tvx_e2e::start(RAYHEIGHT_BIN, tvx_e2e::demo_bin_dir(), {"vblank_mode=0"});
  }
  void TearDown() override {
    if (tvx_e2e::running(program_)) tvx_e2e::wait_exit(program_, 0);
  }

  // Answers the start-up question with a key.
  void answer(const char* key) {
    tvx_e2e::WindowInfo box;
    ASSERT_TRUE(tvx_e2e::find_window(QUESTION_CAPTION, 10, &box)) << tvx_e2e::read_stderr(program_);
    tvx_e2e::sleep_ms(100);
    tvx_e2e::tap(key);
    ASSERT_TRUE(tvx_e2e::window_gone(QUESTION_CAPTION, 5));
  }

  tvx_e2e::Program program_;
};

TEST_F(DemoWindowTest, NoGivesTheTitledWindowAndEscapeEndsWithStatusZero) {
  answer("n");
  tvx_e2e::WindowInfo w;
  ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 10, &w)) << tvx_e2e::read_stderr(program_);
  EXPECT_EQ(w.width, 800);
  EXPECT_EQ(w.height, 600);
  EXPECT_EQ(w.x, 0);
  EXPECT_EQ(w.y, 0);
  tvx_e2e::sleep_ms(300);
  EXPECT_TRUE(tvx_e2e::running(program_));
  ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 1, &w));
  // The frame is cleared to black around the level.
  EXPECT_EQ(tvx_e2e::pixel(w.id, 5, 5), 0u);
  EXPECT_EQ(tvx_e2e::pixel(w.id, 794, 5), 0u);
  tvx_e2e::tap("Escape");
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0) << tvx_e2e::read_stderr(program_);
}

TEST_F(DemoWindowTest, YesGivesAScreenSizedWindow) {
  answer("y");
  tvx_e2e::WindowInfo w;
  ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 10, &w)) << tvx_e2e::read_stderr(program_);
  EXPECT_EQ(w.width, tvx_e2e::screen_width());
  EXPECT_EQ(w.height, tvx_e2e::screen_height());
  EXPECT_EQ(w.x, 0);
  EXPECT_EQ(w.y, 0);
  tvx_e2e::sleep_ms(300);
  tvx_e2e::tap("Escape");
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0);
}

TEST_F(DemoWindowTest, CloseBoxEndsWithStatusZero) {
  answer("n");
  tvx_e2e::WindowInfo w;
  ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 10, &w));
  tvx_e2e::request_close(w.id);
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0) << tvx_e2e::read_stderr(program_);
  EXPECT_TRUE(tvx_e2e::window_gone(tvx_e2e::DEMO_TITLE, 2));
}

}  // namespace
