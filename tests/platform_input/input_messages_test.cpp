// Real X input becomes the messages the toolkit expects: virtual-key codes,
// client coordinates in the two halves of lParam, button bits, system keys,
// capture, the close request and the context menu.
#include <chrono>
#include <vector>

#include <tvxp/window.h>

#include "test_support.h"

// X last: its macros collide with ordinary names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace tvxp;

std::vector<MSG> g_seen;
bool g_record = true;

LRESULT recording_proc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_record && message != WM_PAINT) g_seen.push_back(MSG{wnd, message, wparam, lparam, 0, {0, 0}, 0});
  return def_window_proc(wnd, message, wparam, lparam);
}

class InputMessagesTest : public ::testing::Test {
 protected:
  static HWND wnd_;
  Display* dpy_ = nullptr;

  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    if (!wnd_) {
      WNDCLASS cls{0, recording_proc, 0, 0, get_sys_color_brush(15), "InputTestWindow"};
      ASSERT_NE(register_class(cls), 0);
      EXPECT_EQ(register_class(cls), 0) << "a name registers once";
      wnd_ = create_window("InputTestWindow", "input test", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 300, 200, 0, 0);
      ASSERT_NE(wnd_, 0u);
    }
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
    XTestFakeMotionEvent(dpy_, -1, 150, 100, CurrentTime);
    XSync(dpy_, False);
    pump(100);
    g_seen.clear();
  }
  void TearDown() override {
    release_capture();
    if (dpy_) XCloseDisplay(dpy_);
  }

  void pump(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG m;
    while (std::chrono::steady_clock::now() < until) {
      while (peek_message(&m, 0, 0, 0, PM_REMOVE)) {
        translate_message(&m);
        dispatch_message(&m);
      }
    }
  }
  void key(KeySym sym, bool press) {
    XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, sym), press, CurrentTime);
    XSync(dpy_, False);
  }
  std::vector<MSG> of(UINT message) {
    std::vector<MSG> out;
    for (const MSG& m : g_seen)
      if (m.message == message) out.push_back(m);
    return out;
  }
};
HWND InputMessagesTest::wnd_ = 0;

TEST_F(InputMessagesTest, LettersGiveOneCodeWhateverTheShiftState) {
  key(XK_Shift_L, true);
  key(XK_a, true);
  key(XK_a, false);
  key(XK_Shift_L, false);
  key(XK_a, true);
  key(XK_a, false);
  key(XK_Escape, true);
  key(XK_Escape, false);
  key(XK_7, true);
  key(XK_7, false);
  pump(150);
  std::vector<WPARAM> downs;
  for (const MSG& m : of(WM_KEYDOWN)) downs.push_back(m.wParam);
  EXPECT_EQ(downs, (std::vector<WPARAM>{16, 65, 65, 27, 55}));
  EXPECT_EQ(of(WM_KEYUP).size(), 5u);
  // The characters take their own turn: "A", "a", Escape, "7".
  std::vector<WPARAM> chars;
  for (const MSG& m : of(WM_CHAR)) chars.push_back(m.wParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'A', 'a', 27, '7'}));
}

TEST_F(InputMessagesTest, AltAndF10ArriveAsSystemKeys) {
  key(XK_Alt_L, true);
  key(XK_x, true);
  key(XK_x, false);
  key(XK_Alt_L, false);
  key(XK_F10, true);
  key(XK_F10, false);
  pump(150);
  EXPECT_TRUE(of(WM_KEYDOWN).empty());
  std::vector<WPARAM> sys;
  for (const MSG& m : of(WM_SYSKEYDOWN)) sys.push_back(m.wParam);
  EXPECT_EQ(sys, (std::vector<WPARAM>{18, 'X', 121}));
}

TEST_F(InputMessagesTest, MouseMessagesCarryClientPositionAndButtons) {
  XTestFakeMotionEvent(dpy_, -1, 40, 30, CurrentTime);
  XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
  XTestFakeMotionEvent(dpy_, -1, 45, 32, CurrentTime);
  XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
  XSync(dpy_, False);
  pump(150);
  auto downs = of(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  RECT r;
  get_window_rect(wnd_, &r);
  POINT origin{0, 0};
  client_to_screen(wnd_, &origin);
  EXPECT_EQ(lo_word(downs[0].lParam), 40 - origin.X);
  EXPECT_EQ(hi_word(downs[0].lParam), 30 - origin.Y);
  EXPECT_EQ(downs[0].wParam & MK_LBUTTON, MK_LBUTTON);
  bool dragged = false;
  for (const MSG& m : of(WM_MOUSEMOVE))
    if (lo_word(m.lParam) == 45 - origin.X && (m.wParam & MK_LBUTTON)) dragged = true;
  EXPECT_TRUE(dragged);
  auto ups = of(WM_LBUTTONUP);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].wParam & MK_LBUTTON, 0u);
}

// While captured, a pointer left of and above the window reports negative
// client positions, which wrap in the 16-bit halves of lParam.
TEST_F(InputMessagesTest, CapturedPointerOutsideWrapsTo16Bits) {
  XTestFakeMotionEvent(dpy_, -1, 200, 150, CurrentTime);
  XSync(dpy_, False);
  pump(50);
  set_capture(wnd_);
  EXPECT_EQ(get_capture(), wnd_);
  POINT origin{0, 0};
  client_to_screen(wnd_, &origin);
  // Move the window away from the screen origin so that there is room to its left.
  move_window(wnd_, 100, 100, 300, 200, false);
  pump(100);
  origin = POINT{0, 0};
  client_to_screen(wnd_, &origin);
  g_seen.clear();
  XTestFakeMotionEvent(dpy_, -1, origin.X - 5, origin.Y - 3, CurrentTime);
  XSync(dpy_, False);
  pump(100);
  auto moves = of(WM_MOUSEMOVE);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(lo_word(moves.back().lParam), 65531);
  EXPECT_EQ(hi_word(moves.back().lParam), 65533);
  release_capture();
  move_window(wnd_, 0, 0, 300, 200, false);
  pump(50);
}

TEST_F(InputMessagesTest, RightReleaseGivesTheContextMenu) {
  XTestFakeMotionEvent(dpy_, -1, 60, 60, CurrentTime);
  XTestFakeButtonEvent(dpy_, 3, True, CurrentTime);
  XTestFakeButtonEvent(dpy_, 3, False, CurrentTime);
  XSync(dpy_, False);
  pump(150);
  EXPECT_EQ(of(WM_RBUTTONDOWN).size(), 1u);
  ASSERT_EQ(of(WM_CONTEXTMENU).size(), 1u);
  EXPECT_EQ(lo_word(of(WM_CONTEXTMENU)[0].lParam), 60);  // screen coordinates
}

TEST_F(InputMessagesTest, CloseRequestDestroysThroughDefaultProcessing) {
  WNDCLASS cls{0, recording_proc, 0, 0, 0, "CloseTestWindow"};
  register_class(cls);
  HWND w = create_window("CloseTestWindow", "close me", WS_POPUP | WS_VISIBLE | WS_CAPTION, 400, 0, 100, 100, 0, 0);
  ASSERT_NE(w, 0u);
  pump(50);
  g_seen.clear();
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  Window xw = 0;
  {
    // The X window is found by its title.
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &n);
    for (unsigned i = 0; i < n; ++i) {
      char* name = nullptr;
      if (XFetchName(dpy_, children[i], &name) && name) {
        if (std::string(name) == "close me") xw = children[i];
        XFree(name);
      }
    }
    if (children) XFree(children);
  }
  ASSERT_NE(xw, 0u);
  ev.xclient.window = xw;
  ev.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
  XSendEvent(dpy_, xw, False, NoEventMask, &ev);
  XSync(dpy_, False);
  pump(150);
  EXPECT_FALSE(is_window(w));
  int destroys = 0;
  for (const MSG& m : g_seen) destroys += m.message == WM_DESTROY;
  EXPECT_EQ(destroys, 1) << "destroying sends the destroy message once";
  EXPECT_EQ(of(WM_CLOSE).size(), 1u);
}

}  // namespace
