// The one-message pump, and real key input through the X server.
#include <chrono>
#include <thread>

#include <tarvex/input.h>
#include <tarvex/window.h>

#include "test_support.h"
#include "window_fixture.h"

// X last: its macros (None, Bool) collide with ordinary names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace Tarvex;

class PumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    tvx_test::ensure_toolkit_window();
    tvx_test::drain_messages();
    tvx_test::reset_input_state();
  }
};

TEST_F(PumpTest, ExactlyOneMessagePerCall) {
  tvxp::post_message(HWINDOW, tvxp::WM_KEYDOWN, 'A', 0);
  tvxp::post_message(HWINDOW, tvxp::WM_KEYDOWN, 'B', 0);
  tvxp::post_message(HWINDOW, tvxp::WM_KEYDOWN, 'C', 0);
  SETGLMSG();
  EXPECT_TRUE(SETGLKEY('A'));
  EXPECT_FALSE(SETGLKEY('B'));
  SETGLMSG();
  EXPECT_TRUE(SETGLKEY('B'));
  EXPECT_FALSE(SETGLKEY('C'));
  SETGLMSG();
  EXPECT_TRUE(SETGLKEY('C'));
}

TEST_F(PumpTest, NeverWaitsOnAnEmptyQueue) {
  // An empty queue returns at once; a pump that waited would hang here.
  for (int i = 0; i < 100; ++i) SETGLMSG();
  tvxp::MSG m;
  EXPECT_FALSE(tvxp::peek_message(&m, 0, 0, 0, tvxp::PM_NOREMOVE));
}

TEST_F(PumpTest, QuitMessageIsRemovedLikeAnyOther) {
  tvxp::post_quit_message(0);
  SETGLMSG();
  tvxp::MSG m;
  EXPECT_FALSE(tvxp::peek_message(&m, 0, 0, 0, tvxp::PM_NOREMOVE));
}

// The character of a key takes its own turn of the pump.
TEST_F(PumpTest, TranslatedCharacterTakesItsOwnTurn) {
  tvxp::MSG key{HWINDOW, tvxp::WM_KEYDOWN, 'Q', 0, 0, {0, 0}, 'q'};
  EXPECT_TRUE(tvxp::translate_message(&key));
  tvxp::MSG m;
  ASSERT_TRUE(tvxp::peek_message(&m, 0, 0, 0, tvxp::PM_REMOVE));
  EXPECT_EQ(m.message, tvxp::WM_CHAR);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('q'));
}

// A key held on the real keyboard reads held in every frame until its
// release, through auto-repeat.
TEST_F(PumpTest, HeldKeyReadsHeldEveryFrameUntilRelease) {
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  XKeyboardControl kc;
  kc.auto_repeat_mode = AutoRepeatModeOn;
  XChangeKeyboardControl(dpy, KBAutoRepeatMode, &kc);
  KeyCode w = XKeysymToKeycode(dpy, XK_w);
  ASSERT_EQ(tvxp::get_foreground_window(), HWINDOW);
  XTestFakeKeyEvent(dpy, w, True, CurrentTime);
  XFlush(dpy);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!SETGLKEY('W') && std::chrono::steady_clock::now() < until) SETGLMSG();
  ASSERT_TRUE(SETGLKEY('W'));
  // Past the repeat delay: many repeated key-downs arrive, never a key-up.
  auto hold_until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1200);
  int frames = 0;
  while (std::chrono::steady_clock::now() < hold_until) {
    SETGLMSG();
    EXPECT_TRUE(SETGLKEY('W')) << "frame " << frames;
    ++frames;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  XTestFakeKeyEvent(dpy, w, False, CurrentTime);
  XFlush(dpy);
  until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (SETGLKEY('W') && std::chrono::steady_clock::now() < until) SETGLMSG();
  EXPECT_FALSE(SETGLKEY('W'));
  XCloseDisplay(dpy);
}

}  // namespace
