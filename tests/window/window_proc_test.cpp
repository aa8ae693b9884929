// The window procedure, message by message, on the real toolkit window.
#include <functional>
#include <string>
#include <vector>

#include <tarvex/input.h>
#include <tarvex/window.h>

#include "test_support.h"
#include "window_fixture.h"

namespace {

using namespace Tarvex;
using tvxp::make_lparam;

int g_menu_calls = 0;
std::vector<std::vector<uintptr_t>> g_commands;

void menu_hook() { ++g_menu_calls; }
int32_t command_hook(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  g_commands.push_back({w, m, wp, static_cast<uintptr_t>(lp)});
  return 1234;
}

bool quit_queued() {
  tvxp::MSG m;
  bool found = false;
  while (tvxp::peek_message(&m, 0, 0, 0, tvxp::PM_REMOVE))
    if (m.message == tvxp::WM_QUIT) found = true;
  return found;
}

struct Case {
  std::string name;
  std::function<void()> setup;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  bool default_processing;  // the result is def_window_proc's, else 0
  std::function<void()> check;
};

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    tvx_test::ensure_toolkit_window();
    tvx_test::reset_input_state();
    tvx_test::drain_messages();
    SHOWMENUBAR = true;
    CREATEMOUSEMENU = menu_hook;
    GETINPUTCOMMAND = command_hook;
    g_menu_calls = 0;
    g_commands.clear();
  }
  void TearDown() override {
    SHOWMENUBAR = false;
    CREATEMOUSEMENU = nullptr;
    GETINPUTCOMMAND = nullptr;
    tvx_test::reset_input_state();
  }
};

TEST_F(WindowProcTest, MessageByMessage) {
  const std::vector<Case> cases = {
      {"create sets ACTIVE", [] { ACTIVE = false; }, tvxp::WM_CREATE, 0, 0, false, [] { EXPECT_TRUE(ACTIVE); }},
      {"escape ends the window but leaves it alive", nullptr, tvxp::WM_KEYDOWN, 27, 0, false,
       [] {
         EXPECT_FALSE(ACTIVE);
         EXPECT_EQ(SETKEY[27], 0);
         EXPECT_TRUE(quit_queued());
         EXPECT_TRUE(tvxp::is_window(HWINDOW));
       }},
      {"destroy clears ACTIVE and posts quit", nullptr, tvxp::WM_DESTROY, 0, 0, false,
       [] {
         EXPECT_FALSE(ACTIVE);
         EXPECT_TRUE(quit_queued());
       }},
      {"key down holds with all bits set", nullptr, tvxp::WM_KEYDOWN, 'W', 0, true,
       [] {
         EXPECT_EQ(SETKEY['W'], -1);
         EXPECT_TRUE(SETGLKEY('W'));
         EXPECT_FALSE(SETGLKEY('w'));
       }},
      {"auto-repeat key down keeps it held", [] { SETKEY['W'] = -1; }, tvxp::WM_KEYDOWN, 'W', 1 << 30, true,
       [] { EXPECT_EQ(SETKEY['W'], -1); }},
      {"key up releases and ends free look",
       [] {
         SETKEY['D'] = -1;
         MOUSEFREE = true;
       },
       tvxp::WM_KEYUP, 'D', 0, true,
       [] {
         EXPECT_EQ(SETKEY['D'], 0);
         EXPECT_FALSE(MOUSEFREE);
       }},
      {"any key up ends free look", [] { MOUSEFREE = true; }, tvxp::WM_KEYUP, 'Q', 0, true,
       [] { EXPECT_FALSE(MOUSEFREE); }},
      {"left press anchors the drag", nullptr, tvxp::WM_LBUTTONDOWN, tvxp::MK_LBUTTON, make_lparam(100, 80), true,
       [] {
         EXPECT_TRUE(LEFTMOUSEDOWN && LEFTMOUSEDOWN2);
         EXPECT_EQ(XCOORD, 100);
         EXPECT_EQ(SETMX, 100);
         EXPECT_EQ(YCOORD, 80);
         EXPECT_EQ(SETMY, 80);
         EXPECT_EQ(tvxp::get_capture(), HWINDOW);
       }},
      {"left drag right turns YROT one degree a pixel",
       [] {
         MSPEED = 2;
         LEFTMOUSEDOWN = true;
         XCOORD = 100;
         YCOORD = 80;
       },
       tvxp::WM_MOUSEMOVE, tvxp::MK_LBUTTON, make_lparam(130, 80), true,
       [] {
         EXPECT_FLOAT_EQ(YROT, 30);
         EXPECT_FLOAT_EQ(YROT2, 30);
         EXPECT_FLOAT_EQ(XROT, 0);
         EXPECT_EQ(XCOORD, 130);
         EXPECT_EQ(SETOMX, 130);
         EXPECT_EQ(SETOMY, 80);
       }},
      {"left drag down turns XROT, odd pixels give halves",
       [] {
         MSPEED = 1;
         LEFTMOUSEDOWN = true;
         XCOORD = 10;
         YCOORD = 10;
       },
       tvxp::WM_MOUSEMOVE, tvxp::MK_LBUTTON, make_lparam(10, 13), true, [] { EXPECT_FLOAT_EQ(XROT, 1.5f); }},
      {"captured pointer left of the window wraps to near 65535",
       [] {
         MSPEED = 2;
         LEFTMOUSEDOWN = true;
         XCOORD = 10;
         YCOORD = 10;
       },
       tvxp::WM_MOUSEMOVE, tvxp::MK_LBUTTON, make_lparam(-5, 10), true,
       [] {
         EXPECT_FLOAT_EQ(YROT, 65531 - 10);
         EXPECT_EQ(XCOORD, 65531);
       }},
      {"left release clears the anchors",
       [] {
         LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = true;
         XCOORD = YCOORD = SETMX = SETMY = 7;
         tvxp::set_capture(HWINDOW);
       },
       tvxp::WM_LBUTTONUP, 0, make_lparam(5, 5), true,
       [] {
         EXPECT_FALSE(LEFTMOUSEDOWN || LEFTMOUSEDOWN2);
         EXPECT_EQ(XCOORD + YCOORD + SETMX + SETMY, 0);
         EXPECT_EQ(tvxp::get_capture(), 0u);
       }},
      {"right press anchors the distance", nullptr, tvxp::WM_RBUTTONDOWN, tvxp::MK_RBUTTON, make_lparam(3, 100), true,
       [] {
         EXPECT_TRUE(RIGHTMOUSEDOWN && RIGHTMOUSEDOWN2);
         EXPECT_EQ(ZCOORD, 100);
         EXPECT_EQ(tvxp::get_capture(), HWINDOW);
       }},
      {"right drag down brings the camera nearer",
       [] {
         MSPEED = 2;
         RIGHTMOUSEDOWN = true;
         ZCOORD = 100;
       },
       tvxp::WM_MOUSEMOVE, tvxp::MK_RBUTTON, make_lparam(3, 150), true,
       [] {
         EXPECT_FLOAT_EQ(DEPTH, -10);
         EXPECT_FLOAT_EQ(DEPTH2, -10);
         EXPECT_EQ(ZCOORD, 150);
       }},
      {"right drag does nothing in free look",
       [] {
         MSPEED = 2;
         RIGHTMOUSEDOWN = true;
         MOUSEFREE = true;
         ZCOORD = 100;
         // Another window in the foreground keeps free look out of the way too.
       },
       tvxp::WM_MOUSEMOVE, tvxp::MK_RBUTTON, make_lparam(3, 150), true,
       [] {
         EXPECT_FLOAT_EQ(DEPTH, 0);
         EXPECT_EQ(ZCOORD, 100);
       }},
      {"right release releases capture even with the left held",
       [] {
         LEFTMOUSEDOWN = RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = true;
         tvxp::set_capture(HWINDOW);
       },
       tvxp::WM_RBUTTONUP, tvxp::MK_LBUTTON, 0, true,
       [] {
         EXPECT_FALSE(RIGHTMOUSEDOWN || RIGHTMOUSEDOWN2);
         EXPECT_TRUE(LEFTMOUSEDOWN);
         EXPECT_EQ(tvxp::get_capture(), 0u);
       }},
      {"screen saver refused", nullptr, tvxp::WM_SYSCOMMAND, tvxp::SC_SCREENSAVE, 0, false, nullptr},
      {"monitor power-down refused", nullptr, tvxp::WM_SYSCOMMAND, tvxp::SC_MONITORPOWER, 0, false, nullptr},
      {"other system commands go to default processing", nullptr, tvxp::WM_SYSCOMMAND, tvxp::SC_KEYMENU, 0, true,
       [] { EXPECT_TRUE(tvxp::is_window(HWINDOW)); }},
      {"command reaches the hook", nullptr, tvxp::WM_COMMAND, 42, 7, false,
       [] {
         ASSERT_EQ(g_commands.size(), 1u);
         EXPECT_EQ(g_commands[0], (std::vector<uintptr_t>{HWINDOW, tvxp::WM_COMMAND, 42, 7}));
       }},
      {"command without the menu switch reaches nothing", [] { SHOWMENUBAR = false; }, tvxp::WM_COMMAND, 42, 7,
       false, [] { EXPECT_TRUE(g_commands.empty()); }},
      {"context menu calls the menu hook", nullptr, tvxp::WM_CONTEXTMENU, 0, 0, true,
       [] { EXPECT_EQ(g_menu_calls, 1); }},
      {"context menu without the switch calls nothing", [] { SHOWMENUBAR = false; }, tvxp::WM_CONTEXTMENU, 0, 0, true,
       [] { EXPECT_EQ(g_menu_calls, 0); }},
      {"paint leaves the window painted", [] { tvxp::invalidate_rect(HWINDOW, nullptr, false); }, tvxp::WM_PAINT, 0, 0,
       false,
       [] {
         tvxp::MSG m;
         EXPECT_FALSE(tvxp::peek_message(&m, HWINDOW, tvxp::WM_PAINT, tvxp::WM_PAINT, tvxp::PM_NOREMOVE));
       }},
      {"other messages go to default processing", nullptr, tvxp::WM_USER + 5, 0, 0, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tvx_test::reset_input_state();
    SHOWMENUBAR = true;
    g_menu_calls = 0;
    g_commands.clear();
    if (c.setup) c.setup();
    LRESULT expected = c.default_processing ? tvxp::def_window_proc(HWINDOW, c.message, c.wparam, c.lparam) : 0;
    // The default result is read first, on a copy of nothing that it changes.
    LRESULT got = GLWNDPROC(HWINDOW, c.message, c.wparam, c.lparam);
    EXPECT_EQ(got, expected);
    if (c.check) c.check();
    tvx_test::drain_messages();
  }
}

// Free look holds the pointer at the window centre and turns by its displacement.
TEST_F(WindowProcTest, FreeLookWarpsTurnsAndClamps) {
  tvxp::set_cursor_pos(WIDTH / 2 + 50, HEIGHT / 2 - 30);
  MSPEED = 2;
  MOUSEFREE = true;
  YROT = 100;  // beyond the clamp, as a left drag can leave it
  YROT2 = -100;
  ASSERT_EQ(tvxp::get_foreground_window(), HWINDOW);
  GLWNDPROC(HWINDOW, tvxp::WM_MOUSEMOVE, 0, make_lparam(1, 1));
  EXPECT_EQ(MPOS.X, WIDTH / 2 + 50);
  EXPECT_EQ(MPOS.Y, HEIGHT / 2 - 30);
  EXPECT_FLOAT_EQ(XROT, 1.0f);
  EXPECT_FLOAT_EQ(XROT2, 1.0f);
  EXPECT_FLOAT_EQ(YROT, 60);   // 100 - 0.6, clamped
  EXPECT_FLOAT_EQ(YROT2, -60);  // -100 - 0.6, clamped
  tvxp::POINT p;
  ASSERT_TRUE(tvxp::get_cursor_pos(&p));
  EXPECT_EQ(p.X, WIDTH / 2);
  EXPECT_EQ(p.Y, HEIGHT / 2);

  YROT = 10;
  tvxp::set_cursor_pos(WIDTH / 2, HEIGHT / 2 + 20);
  GLWNDPROC(HWINDOW, tvxp::WM_MOUSEMOVE, 0, make_lparam(1, 1));
  EXPECT_FLOAT_EQ(YROT, 10.4f);  // 10 - (-20) / 100 * 2
}

TEST_F(WindowProcTest, FreeLookIgnoredWhenAnotherWindowIsForeground) {
  tvxp::WNDCLASS cls{0, tvxp::def_window_proc, 0, 0, 0, "OtherWindow"};
  tvxp::register_class(cls);
  HWND other = tvxp::create_window("OtherWindow", "other", tvxp::WS_POPUP | tvxp::WS_VISIBLE, 400, 300, 50, 50, 0, 0);
  ASSERT_NE(other, 0u);
  ASSERT_EQ(tvxp::get_foreground_window(), other);
  tvxp::set_cursor_pos(10, 10);
  MSPEED = 2;
  MOUSEFREE = true;
  GLWNDPROC(HWINDOW, tvxp::WM_MOUSEMOVE, 0, make_lparam(1, 1));
  EXPECT_FLOAT_EQ(XROT, 0);
  EXPECT_FLOAT_EQ(YROT, 0);
  tvxp::POINT p;
  ASSERT_TRUE(tvxp::get_cursor_pos(&p));
  EXPECT_EQ(p.X, 10);
  EXPECT_EQ(p.Y, 10);
  tvxp::destroy_window(other);
  tvxp::show_window(HWINDOW, tvxp::SW_HIDE);
  tvxp::show_window(HWINDOW, tvxp::SW_SHOW);  // the focus comes back to the toolkit window
  EXPECT_EQ(tvxp::get_foreground_window(), HWINDOW);
}

}  // namespace
