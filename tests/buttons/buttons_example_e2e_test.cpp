// The buttons example, driven from outside: a click on an image button
// changes the status-bar text, a right click on the scene changes the menu
// part, and Escape ends it with status 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "x_driver.h"

namespace {

const char TITLE[] = "Tarvex buttons";
// Client geometry of the example: the status bar is 22 pixels high along the
// bottom of the 800 x 600 window, its parts end at 260 and 520; the third
// button (the star) is 64 pixels square at (24, 184).
const int STATUS_TOP = 600 - 22;
const int STAR_CENTRE_X = 24 + 32, STAR_CENTRE_Y = 24 + 2 * 80 + 32;

std::string bin_dir() {
  std::string path = TARVEX_BUTTONS_BIN;
  return path.substr(0, path.rfind('/'));
}

// The pixels of the status-bar part between x0 and x1.
std::vector<unsigned> part(unsigned long window, int x0, int x1) {
  int w = 0, h = 0;
  std::vector<unsigned> all = tvx_e2e::pixels(window, &w, &h);
  std::vector<unsigned> out;
  for (int y = STATUS_TOP + 2; y < h && y < STATUS_TOP + 20; ++y)
    for (int x = x0 + 2; x < x1 - 2 && x < w; ++x) out.push_back(all[static_cast<size_t>(y) * w + x]);
  return out;
}

// Waits until the part's pixels differ from `before`.
bool changes(unsigned long window, int x0, int x1, const std::vector<unsigned>& before) {
  for (int i = 0; i < 100; ++i) {
    if (part(window, x0, x1) != before) return true;
    tvx_e2e::sleep_ms(20);
  }
  return false;
}

// Some dark pixel (text) lies in the part.
bool has_text(const std::vector<unsigned>& px) {
  for (unsigned p : px)
    if (((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60) return true;
  return false;
}

class ButtonsExampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* d = std::getenv("DISPLAY");
    ASSERT_TRUE(d && *d) << "no X display: run the tests under Xvfb (./test.sh does)";
    tvx_e2e::move_pointer(tvx_e2e::screen_width() - 1, tvx_e2e::screen_height() - 1);
    program_ = tvx_e2e::start(TARVEX_BUTTONS_BIN, bin_dir(), {"vblank_mode=0"});
  }
  void TearDown() override {
    if (tvx_e2e::running(program_)) tvx_e2e::wait_exit(program_, 0);
  }
  tvx_e2e::Program program_;
};

TEST_F(ButtonsExampleTest, AButtonClickShowsInTheStatusBarAndEscapeEndsIt) {
  tvx_e2e::WindowInfo w;
  ASSERT_TRUE(tvx_e2e::find_window(TITLE, 10, &w)) << tvx_e2e::read_stderr(program_);
  tvx_e2e::sleep_ms(400);
  ASSERT_TRUE(tvx_e2e::running(program_)) << tvx_e2e::read_stderr(program_);

  std::vector<unsigned> first = part(w.id, 0, 260);
  ASSERT_TRUE(has_text(first)) << "the first part starts with its own text";
  std::vector<unsigned> menu = part(w.id, 520, 800);

  tvx_e2e::move_pointer(w.x + STAR_CENTRE_X, w.y + STAR_CENTRE_Y);
  tvx_e2e::sleep_ms(100);
  tvx_e2e::button(1, true);
  tvx_e2e::sleep_ms(50);
  tvx_e2e::button(1, false);
  EXPECT_TRUE(changes(w.id, 0, 260, first)) << "the click names the button";
  EXPECT_TRUE(has_text(part(w.id, 0, 260)));

  // A right click on the scene is the context-menu request.
  tvx_e2e::move_pointer(w.x + 400, w.y + 300);
  tvx_e2e::sleep_ms(100);
  tvx_e2e::button(3, true);
  tvx_e2e::sleep_ms(50);
  tvx_e2e::button(3, false);
  EXPECT_TRUE(changes(w.id, 520, 800, menu)) << "the menu request shows";

  tvx_e2e::tap("Escape");
  EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0) << tvx_e2e::read_stderr(program_);
  EXPECT_TRUE(tvx_e2e::window_gone(TITLE, 2));
}

}  // namespace
