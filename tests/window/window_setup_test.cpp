// Window settings, the status bar, and presenting.
#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include <tarvex/input.h>
#include <tarvex/vertex.h>
#include <tarvex/window.h>
#include <tvxp/gl.h>

#include "test_support.h"
#include "window_fixture.h"

namespace {

using namespace Tarvex;

class WindowSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    tvx_test::ensure_toolkit_window();
  }
};

TEST_F(WindowSetupTest, SettingsWithAContextMakeTheEmptyListAndClearRecording) {
  GLVERT3FREMOVE = GLVERT3FENABLEEDIT = true;
  FOGONOFF = false;
  OGLWINDOWSETTING(HAND, "x.cur", FILEICON, "y.ico");
  EXPECT_NE(OBJNULL, 0u);
  EXPECT_TRUE(glIsList(OBJNULL));
  EXPECT_FALSE(GLVERT3FREMOVE);
  EXPECT_FALSE(GLVERT3FENABLEEDIT);
  EXPECT_TRUE(FOGONOFF);
  EXPECT_EQ(SETTYPECURSOR, HAND);
  EXPECT_STREQ(CURSORFILE, "x.cur");
  EXPECT_EQ(SETTYPEICON, FILEICON);
  EXPECT_STREQ(ICONFILE, "y.ico");
  EXPECT_EQ(tvxp::gl_get_current_context(), RCWINDOW);
}

TEST_F(WindowSetupTest, StatusBarGetsItsPartsAndText) {
  STATUSITEM[1] = 100;
  STATUSITEM[2] = 220;
  STATUSITEM[3] = -1;
  MAXSTATUSITEM = 3;
  HWND bar = CREATESTATUSBAR(HWINDOW);
  ASSERT_NE(bar, 0u);
  EXPECT_EQ(bar, AWND);
  EXPECT_STREQ(FILENAME, "Percorso file");
  EXPECT_EQ(tvxp::get_dlg_ctrl_id(bar), 30482);
  EXPECT_EQ(tvxp::get_parent(bar), HWINDOW);
  EXPECT_EQ(EDGES[1], 100);
  EXPECT_EQ(EDGES[3], -1);
  int32_t parts[4] = {};
  EXPECT_EQ(tvxp::send_message(bar, tvxp::SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 3);
  EXPECT_EQ(parts[0], 100);
  EXPECT_EQ(parts[1], 220);
  EXPECT_EQ(parts[2], -1);
  char text[64] = {};
  tvxp::send_message(bar, tvxp::SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Percorso file");
  tvxp::send_message(bar, tvxp::SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("terzo"));
  tvxp::send_message(bar, tvxp::SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "terzo");
  // An update repaints it at once.
  EXPECT_TRUE(tvxp::update_window(bar));
  tvxp::destroy_window(bar);

  MAXSTATUSITEM = 0;
  bar = CREATESTATUSBAR(HWINDOW);
  ASSERT_NE(bar, 0u);
  EXPECT_EQ(tvxp::send_message(bar, tvxp::SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 0);
  tvxp::destroy_window(bar);
  EXPECT_TRUE(tvxp::is_window(HWINDOW));
}

// Without swap control (none is advertised under Xvfb) the layer paces
// presents to 60 Hz; a lower bound only, so a busy machine cannot fail it.
TEST_F(WindowSetupTest, PresentsArePacedUnlessSwitchedOff) {
  const char* saved = std::getenv("vblank_mode");
  std::string keep = saved ? saved : "";
  unsetenv("vblank_mode");
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 31; ++i) tvxp::swap_buffers(DCWINDOW);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (saved) setenv("vblank_mode", keep.c_str(), 1);
  EXPECT_GE(seconds, 30 / 60.0 * 0.9);
}

}  // namespace
