// Image hover buttons on a real X server, driven by real pointer input:
// placement and size, the mode by hover, press and drag, the command posted
// on a click, the shape clipping input, the image painted per mode, a button
// without its normal image, and what destruction leaves behind.
#include <chrono>
#include <ostream>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <tarvex/hover_button.h>
#include <tarvex/input.h>
#include <tarvex/window.h>
#include <tvxp/bitmap.h>
#include <tvxp/gdi.h>
#include <tvxp/window.h>

#include "bitmap_internal.h"
#include "gdi_internal.h"
#include "image_writer.h"
#include "test_support.h"

// X last: its macros collide with ordinary names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace Tarvex;

// The button images: a disc of radius 18 on a 40 x 40 magenta square, one
// colour per state. The normal image also holds three marked pixels in the
// disc's left half, on the middle row.
const int SIZE = 40;
const int CENTRE = 20;
const uint32_t NORMAL_RGB = 0xC82828;
const uint32_t HOVER_RGB = 0x28C828;
const uint32_t PRESS_RGB = 0x2828C8;
const int HOLE_X = 10;      // (255, 1, 255): transparent with the tolerance of 1
const int NEAR_X = 12;      // (255, 2, 255): opaque
const int NEAR_RED_X = 14;  // (254, 0, 255): opaque

// Where the buttons are created in the parent's client area.
const int BUTTON_X = 100, BUTTON_Y = 80;
const int BUTTON_ID = 0x1234;

std::vector<uint8_t> disc(uint32_t rgb, bool marks) {
  std::vector<uint8_t> px(SIZE * SIZE * 4);
  for (int y = 0; y < SIZE; ++y)
    for (int x = 0; x < SIZE; ++x) {
      uint8_t* p = &px[(y * SIZE + x) * 4];
      int dx = x - CENTRE, dy = y - CENTRE;
      uint32_t c = (dx * dx + dy * dy <= 18 * 18) ? rgb : 0xFF00FF;
      if (marks && y == CENTRE && x == HOLE_X) c = 0xFF01FF;
      if (marks && y == CENTRE && x == NEAR_X) c = 0xFF02FF;
      if (marks && y == CENTRE && x == NEAR_RED_X) c = 0xFE00FF;
      p[0] = static_cast<uint8_t>(c >> 16);
      p[1] = static_cast<uint8_t>(c >> 8);
      p[2] = static_cast<uint8_t>(c);
      p[3] = 255;
    }
  return px;
}

// The image directory of this process: "disc" has all three images,
// "nonormal" only the hover and pressed ones.
const std::string& image_dir() {
  static std::string dir;
  if (dir.empty()) {
    char tmpl[] = "/tmp/buttons_tests_XXXXXX";
    dir = mkdtemp(tmpl);
    auto write = [](const std::string& path, uint32_t rgb, bool marks) {
      std::vector<uint8_t> px = disc(rgb, marks);
      return imageio::write_bmp(path, px.data(), SIZE, SIZE, 24);
    };
    bool ok = write(dir + "/discN.BMP", NORMAL_RGB, true) && write(dir + "/discH.BMP", HOVER_RGB, false) &&
              write(dir + "/discP.BMP", PRESS_RGB, false) && write(dir + "/nonormalH.BMP", HOVER_RGB, false) &&
              write(dir + "/nonormalP.BMP", PRESS_RGB, false);
    EXPECT_TRUE(ok) << "cannot write the button images into " << dir;
    std::atexit([] { std::filesystem::remove_all(dir); });
  }
  return dir;
}

// Commands that reached the toolkit window's command hook.
struct Command {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<Command> g_commands;
int g_context_menus = 0;

int32_t record_command(HWND, UINT message, WPARAM wparam, LPARAM lparam) {
  g_commands.push_back({message, wparam, lparam});
  return 0;
}

void record_context_menu() { ++g_context_menus; }

void ensure_parent() {
  static bool created = false;
  if (created) return;
  created = true;
  SHOWMENUBAR = true;
  GETINPUTCOMMAND = record_command;
  CREATEMOUSEMENU = record_context_menu;
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("button tests", 400, 300, 32, false);
}

void drain() {
  tvxp::MSG m;
  while (tvxp::peek_message(&m, 0, 0, 0, tvxp::PM_REMOVE)) {
    tvxp::translate_message(&m);
    tvxp::dispatch_message(&m);
  }
}

// Works off the queue until `done` holds or `ms` have passed.
template <class F>
bool pump_until(F done, int ms = 2000) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    drain();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// Lets everything in flight arrive and be handled.
void settle(int ms = 150) {
  pump_until([] { return false; }, ms);
}

uintptr_t mode(HWND b) { return tvxp::get_prop(b, HOVERMODE); }

class ButtonTest : public ::testing::Test {
 protected:
  Display* dpy_ = nullptr;
  HWND button_ = 0;

  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    ensure_parent();
    ASSERT_NE(HWINDOW, 0u);
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
    // The pointer waits over the parent, away from every button.
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XTestFakeButtonEvent(dpy_, 3, False, CurrentTime);
    move_screen(380, 280);
    settle(50);
    g_commands.clear();
    g_context_menus = 0;
  }

  void TearDown() override {
    if (dpy_) {
      XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
      XTestFakeButtonEvent(dpy_, 3, False, CurrentTime);
      move_screen(380, 280);
    }
    settle(50);
    if (button_) tvxp::destroy_window(button_);
    tvxp::release_capture();
    settle(20);
    if (dpy_) XCloseDisplay(dpy_);
  }

  HWND make_button(const std::string& stem, int x, int y, int w, int h, int id) {
    BMPTYPE = image_dir() + "/" + stem;
    HWND b = tvxp::create_window(SZHOVERCLASS, "", tvxp::WS_CHILD | tvxp::WS_VISIBLE, x, y, w, h, HWINDOW, id);
    settle(50);
    return b;
  }

  void move_screen(int x, int y) {
    XTestFakeMotionEvent(dpy_, -1, x, y, CurrentTime);
    XSync(dpy_, False);
  }
  // Moves to a point of the button, in its own coordinates.
  void move_to(HWND b, int x, int y) {
    tvxp::RECT r{};
    tvxp::get_window_rect(b, &r);
    move_screen(r.left + x, r.top + y);
  }
  void press(int number, bool down) {
    XTestFakeButtonEvent(dpy_, static_cast<unsigned>(number), down ? True : False, CurrentTime);
    XSync(dpy_, False);
  }
  void click() {
    press(1, true);
    press(1, false);
  }

  // The 0xRRGGBB colour shown on the screen at a point of the button.
  unsigned shown(HWND b, int x, int y) {
    tvxp::RECT r{};
    tvxp::get_window_rect(b, &r);
    XImage* img = XGetImage(dpy_, DefaultRootWindow(dpy_), r.left + x, r.top + y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xFFFFFFFFu;
    unsigned long p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return static_cast<unsigned>(p & 0xFFFFFF);
  }
  bool shows(HWND b, uint32_t rgb) {
    return pump_until([&] { return shown(b, CENTRE, CENTRE) == rgb; });
  }

  size_t commands_with(WPARAM id) {
    size_t n = 0;
    for (const Command& c : g_commands) n += (c.message == tvxp::WM_COMMAND && c.wparam == id && c.lparam == 0);
    return n;
  }
};

TEST_F(ButtonTest, TakesTheNormalImageSizeWhereItWasCreated) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  ASSERT_NE(button_, 0u);
  tvxp::RECT b{}, p{}, frame{};
  ASSERT_TRUE(tvxp::get_window_rect(button_, &b));
  ASSERT_TRUE(tvxp::get_window_rect(HWINDOW, &p));
  ASSERT_TRUE(tvxp::get_frame_extents(HWINDOW, &frame));
  EXPECT_EQ(b.right - b.left, SIZE);
  EXPECT_EQ(b.bottom - b.top, SIZE);
  EXPECT_EQ(b.left - p.left - frame.left, BUTTON_X);
  EXPECT_EQ(b.top - p.top - frame.top, BUTTON_Y);
  EXPECT_EQ(mode(button_), HOVER_NORMAL);
  EXPECT_NE(tvxp::get_prop(button_, NORMALBMP), 0u);
  EXPECT_NE(tvxp::get_prop(button_, HOVERBMP), 0u);
  EXPECT_NE(tvxp::get_prop(button_, PRESSBMP), 0u);
}

TEST_F(ButtonTest, HitRegionIsTheNonMagentaPixelsWithToleranceOne) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  tvxp::HRGN hit = static_cast<tvxp::HRGN>(tvxp::get_prop(button_, BUTTONRGN));
  ASSERT_NE(hit, 0u);
  EXPECT_TRUE(tvxp::pt_in_region(hit, CENTRE, CENTRE));
  EXPECT_FALSE(tvxp::pt_in_region(hit, 1, 1)) << "magenta corner";
  EXPECT_FALSE(tvxp::pt_in_region(hit, HOLE_X, CENTRE)) << "(255, 1, 255)";
  EXPECT_TRUE(tvxp::pt_in_region(hit, NEAR_X, CENTRE)) << "(255, 2, 255)";
  EXPECT_TRUE(tvxp::pt_in_region(hit, NEAR_RED_X, CENTRE)) << "(254, 0, 255)";
}

TEST_F(ButtonTest, HoverPressAndReleaseOverPostOneCommandAndPaintEachImage) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  EXPECT_TRUE(shows(button_, NORMAL_RGB));

  move_to(button_, CENTRE, CENTRE);
  EXPECT_TRUE(pump_until([&] { return mode(button_) == HOVER_HOVER; }));
  EXPECT_TRUE(shows(button_, HOVER_RGB));
  EXPECT_EQ(tvxp::get_capture(), button_) << "held so that leaving is seen";

  press(1, true);
  EXPECT_TRUE(pump_until([&] { return mode(button_) == HOVER_PRESSED; }));
  EXPECT_TRUE(shows(button_, PRESS_RGB));

  press(1, false);
  EXPECT_TRUE(pump_until([&] { return !g_commands.empty(); }));
  settle();
  EXPECT_EQ(g_commands.size(), 1u);
  EXPECT_EQ(commands_with(BUTTON_ID), 1u) << "wParam the child id, lParam 0";
  EXPECT_EQ(mode(button_), HOVER_NORMAL) << "normal until the pointer moves";
  EXPECT_TRUE(shows(button_, NORMAL_RGB));
  EXPECT_EQ(tvxp::get_capture(), 0u);

  move_to(button_, CENTRE + 1, CENTRE);
  EXPECT_TRUE(pump_until([&] { return mode(button_) == HOVER_HOVER; }));
}

// The mode's state machine, message by message, as the button's window
// procedure sees them: from each mode, each event, the next mode and whether
// a command is posted.
TEST_F(ButtonTest, StateMachineTable) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  const LPARAM inside = tvxp::make_lparam(CENTRE, CENTRE), outside = tvxp::make_lparam(1, 1);
  const LPARAM far_left = tvxp::make_lparam(-5, CENTRE);  // a captured move left of the button wraps to 65531
  struct Row {
    uintptr_t from;
    UINT message;
    WPARAM keys;
    LPARAM pos;
    uintptr_t to;
    bool posts;
  };
  const Row rows[] = {
      {1, tvxp::WM_MOUSEMOVE, 0, inside, 2, false},
      {1, tvxp::WM_MOUSEMOVE, tvxp::MK_LBUTTON, inside, 3, false},
      {1, tvxp::WM_MOUSEMOVE, tvxp::MK_RBUTTON, inside, 3, false},
      {1, tvxp::WM_MOUSEMOVE, tvxp::MK_SHIFT, inside, 2, false},
      {2, tvxp::WM_MOUSEMOVE, tvxp::MK_LBUTTON, inside, 2, false},
      {3, tvxp::WM_MOUSEMOVE, 0, inside, 3, false},
      {2, tvxp::WM_MOUSEMOVE, 0, outside, 1, false},
      {3, tvxp::WM_MOUSEMOVE, tvxp::MK_LBUTTON, far_left, 1, false},
      {1, tvxp::WM_LBUTTONDOWN, tvxp::MK_LBUTTON, inside, 3, false},
      {2, tvxp::WM_LBUTTONDOWN, tvxp::MK_LBUTTON, inside, 3, false},
      {3, tvxp::WM_LBUTTONUP, 0, inside, 1, true},
      {3, tvxp::WM_LBUTTONUP, 0, outside, 1, true},
      {1, tvxp::WM_LBUTTONUP, 0, inside, 1, false},
      {2, tvxp::WM_LBUTTONUP, 0, inside, 1, false},
      {3, tvxp::WM_RBUTTONUP, 0, inside, 3, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << "from " << r.from << " message 0x" << std::hex << r.message << " keys "
                                      << r.keys << std::dec << " at " << tvxp::lo_word(r.pos) << ","
                                      << tvxp::hi_word(r.pos));
    tvxp::set_prop(button_, HOVERMODE, r.from);
    g_commands.clear();
    EXPECT_EQ(tvxp::send_message(button_, r.message, r.keys, r.pos), 0);
    EXPECT_EQ(mode(button_), r.to);
    settle(20);
    EXPECT_EQ(commands_with(BUTTON_ID), r.posts ? 1u : 0u);
    EXPECT_EQ(g_commands.size(), r.posts ? 1u : 0u);
  }
  tvxp::release_capture();
}

TEST_F(ButtonTest, PressDraggedOffAndReleasedElsewherePostsNothing) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  move_to(button_, CENTRE, CENTRE);
  ASSERT_TRUE(pump_until([&] { return mode(button_) == HOVER_HOVER; }));
  press(1, true);
  ASSERT_TRUE(pump_until([&] { return mode(button_) == HOVER_PRESSED; }));

  move_screen(20, 20);
  EXPECT_TRUE(pump_until([&] { return mode(button_) == HOVER_NORMAL; })) << "dragged off";
  EXPECT_TRUE(shows(button_, NORMAL_RGB));
  EXPECT_NE(tvxp::get_capture(), button_);

  press(1, false);
  settle();
  EXPECT_TRUE(g_commands.empty());
  EXPECT_EQ(mode(button_), HOVER_NORMAL);
}

TEST_F(ButtonTest, PressElsewhereReleasedOverTheButtonPostsNothing) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  move_screen(20, 20);
  press(1, true);
  settle(50);
  move_to(button_, CENTRE, CENTRE);
  settle(50);
  press(1, false);
  settle();
  EXPECT_TRUE(g_commands.empty());
  EXPECT_NE(mode(button_), HOVER_PRESSED);
}

TEST_F(ButtonTest, DoubleClickPostsTwoCommands) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  move_to(button_, CENTRE, CENTRE);
  ASSERT_TRUE(pump_until([&] { return mode(button_) == HOVER_HOVER; }));
  click();
  click();
  EXPECT_TRUE(pump_until([&] { return g_commands.size() >= 2; }));
  settle();
  EXPECT_EQ(commands_with(BUTTON_ID), 2u);
  EXPECT_EQ(g_commands.size(), 2u);
}

TEST_F(ButtonTest, RightButtonHeldOntoTheButtonShowsPressedButReleasePostsNothing) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  // Pressed outside every window of ours, so that no window holds the pointer.
  move_screen(700, 600);
  press(3, true);
  settle(50);
  move_to(button_, CENTRE, CENTRE);
  EXPECT_TRUE(pump_until([&] { return mode(button_) == HOVER_PRESSED; }));
  EXPECT_TRUE(shows(button_, PRESS_RGB));
  press(3, false);
  settle();
  EXPECT_TRUE(g_commands.empty());
  EXPECT_EQ(g_context_menus, 1) << "the right release still asks the parent for its menu";
}

TEST_F(ButtonTest, TransparentPixelsLetTheClickThroughToTheParent) {
  button_ = make_button("disc", BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
  for (int x : {1, HOLE_X}) {
    SCOPED_TRACE(x);
    int y = (x == 1) ? 1 : CENTRE;
    move_to(button_, x, y);
    press(1, true);
    EXPECT_TRUE(pump_until([] { return LEFTMOUSEDOWN; })) << "the press reaches the toolkit window";
    EXPECT_EQ(SETMX, BUTTON_X + x);
    EXPECT_EQ(SETMY, BUTTON_Y + y);
    EXPECT_EQ(mode(button_), HOVER_NORMAL);
    press(1, false);
    EXPECT_TRUE(pump_until([] { return !LEFTMOUSEDOWN; }));
  }
  settle();
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(ButtonTest, WithoutItsNormalImageTheButtonIsARectangleThatNeverHoversButClicks) {
  button_ = make_button("nonormal", 200, 60, 30, 20, BUTTON_ID + 1);
  ASSERT_NE(button_, 0u);
  tvxp::RECT b{}, p{}, frame{};
  tvxp::get_window_rect(button_, &b);
  tvxp::get_window_rect(HWINDOW, &p);
  tvxp::get_frame_extents(HWINDOW, &frame);
  EXPECT_EQ(b.left - p.left - frame.left, 200);
  EXPECT_EQ(b.top - p.top - frame.top, 60);
  EXPECT_EQ(b.right - b.left, 30) << "keeps the size it was created with";
  EXPECT_EQ(b.bottom - b.top, 20);
  EXPECT_EQ(tvxp::get_prop(button_, BUTTONRGN), 0u);
  EXPECT_EQ(mode(button_), HOVER_NORMAL);

  // Its corner is part of it: there is no shape.
  move_to(button_, 1, 1);
  settle(50);
  move_to(button_, 2, 2);
  settle(50);
  EXPECT_EQ(mode(button_), HOVER_NORMAL) << "never hovers";
  click();
  EXPECT_TRUE(pump_until([] { return !g_commands.empty(); }));
  settle();
  EXPECT_EQ(commands_with(BUTTON_ID + 1), 1u);
  EXPECT_EQ(g_commands.size(), 1u);
}

// Objects of the layer still alive, of every kind a button makes.
struct Live {
  size_t bitmaps, surfaces, palettes, regions;
  bool operator==(const Live&) const = default;
};
Live live() {
  using namespace tvxp::internal;
  return {live_bitmaps(), live_surfaces(), live_palettes(), live_regions()};
}
std::ostream& operator<<(std::ostream& os, const Live& l) {
  return os << l.bitmaps << " bitmaps, " << l.surfaces << " surfaces, " << l.palettes << " palettes, " << l.regions
            << " regions";
}

TEST_F(ButtonTest, DestructionRemovesEveryPropertyAndReleasesEverything) {
  for (const char* stem : {"disc", "nonormal"}) {
    SCOPED_TRACE(stem);
    const Live before = live();
    HWND b = make_button(stem, BUTTON_X, BUTTON_Y, 10, 10, BUTTON_ID);
    ASSERT_NE(b, 0u);
    EXPECT_NE(live(), before);
    move_to(b, CENTRE, CENTRE);
    settle(50);

    // The destroy message itself, while the window still exists to be asked.
    EXPECT_EQ(tvxp::send_message(b, tvxp::WM_DESTROY, 0, 0), 0);
    for (const char* name : {NORMALBMP, HOVERBMP, PRESSBMP, HOVERMODE, BUTTONRGN})
      EXPECT_EQ(tvxp::get_prop(b, name), 0u) << name;
    // Moves after that find no mode and change nothing.
    move_to(b, CENTRE + 2, CENTRE);
    settle(50);
    EXPECT_EQ(mode(b), 0u);

    // The window's shape goes with the window.
    EXPECT_TRUE(tvxp::destroy_window(b));
    EXPECT_FALSE(tvxp::is_window(b));
    EXPECT_EQ(live(), before);
    move_screen(380, 280);
    settle(50);
  }
}

}  // namespace
