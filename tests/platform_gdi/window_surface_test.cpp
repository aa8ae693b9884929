// A shaped child window under real pointer input, and block copies from a
// memory surface to windows, read back from the X server.
#include <chrono>
#include <cstring>
#include <vector>

#include <tvxp/gdi.h>
#include <tvxp/gl.h>
#include <tvxp/window.h>

#include "gdi_internal.h"
#include "test_support.h"

// X last: its macros collide with ordinary names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>

namespace {

using namespace tvxp;

struct Seen {
  HWND wnd;
  UINT message;
  LPARAM lparam;
};
std::vector<Seen> g_seen;

LRESULT recording_proc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) g_seen.push_back({wnd, message, lparam});
  if (message == WM_PAINT) {
    begin_paint(wnd);
    end_paint(wnd);
    return 0;
  }
  return def_window_proc(wnd, message, wparam, lparam);
}

// Parent at the screen's origin, a 60 x 60 child at (20, 20) in it.
const int CHILD_X = 20, CHILD_Y = 20, CHILD_SIZE = 60;

class WindowSurfaceTest : public ::testing::Test {
 protected:
  HWND parent_ = 0, child_ = 0;
  Display* dpy_ = nullptr;

  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    static bool registered = false;
    if (!registered) {
      WNDCLASS cls{0, recording_proc, 0, 0, get_sys_color_brush(15), "GdiTestWindow"};
      ASSERT_NE(register_class(cls), 0);
      registered = true;
    }
    parent_ = create_window("GdiTestWindow", "gdi test", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, 0, 0);
    ASSERT_NE(parent_, 0u);
    child_ = create_window("GdiTestWindow", "", WS_CHILD | WS_VISIBLE, CHILD_X, CHILD_Y, CHILD_SIZE, CHILD_SIZE,
                           parent_, 7);
    ASSERT_NE(child_, 0u);
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
    pump(150);
    g_seen.clear();
  }
  void TearDown() override {
    if (parent_) destroy_window(parent_);
    if (dpy_) XCloseDisplay(dpy_);
  }

  void pump(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG m;
    while (std::chrono::steady_clock::now() < until)
      while (peek_message(&m, 0, 0, 0, PM_REMOVE)) dispatch_message(&m);
  }
  // A click at a point of the child's client area, in screen coordinates.
  void click_child(int x, int y) {
    POINT pt{x, y};
    ASSERT_TRUE(client_to_screen(child_, &pt));
    XTestFakeMotionEvent(dpy_, -1, pt.X, pt.Y, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XSync(dpy_, False);
    pump(150);
  }
  size_t presses_of(HWND wnd) {
    size_t n = 0;
    for (const Seen& s : g_seen) n += (s.wnd == wnd && s.message == WM_LBUTTONDOWN);
    return n;
  }
};

TEST_F(WindowSurfaceTest, ShapeClipsInputToTheRegion) {
  const size_t regions = internal::live_regions();
  // The left half, and a notch out of its middle.
  HRGN shape = create_rect_rgn(0, 0, 30, CHILD_SIZE);
  HRGN notch = create_rect_rgn(10, 25, 20, 35);
  ASSERT_EQ(combine_rgn(shape, shape, notch, RGN_DIFF), COMPLEXREGION);
  delete_object(notch);
  ASSERT_EQ(set_window_rgn(child_, shape, true), 1);
  EXPECT_FALSE(delete_object(shape)) << "the window owns its shape";
  EXPECT_TRUE(pt_in_region(shape, 5, 5)) << "still readable";

  click_child(5, 30);  // inside
  EXPECT_EQ(presses_of(child_), 1u);
  EXPECT_EQ(presses_of(parent_), 0u);
  g_seen.clear();
  click_child(45, 30);  // outside, right half
  EXPECT_EQ(presses_of(child_), 0u);
  ASSERT_EQ(presses_of(parent_), 1u) << "the click falls through to the parent";
  for (const Seen& s : g_seen)
    if (s.wnd == parent_ && s.message == WM_LBUTTONDOWN) {
      EXPECT_EQ(lo_word(s.lparam), CHILD_X + 45);
      EXPECT_EQ(hi_word(s.lparam), CHILD_Y + 30);
    }
  g_seen.clear();
  click_child(15, 30);  // in the notch
  EXPECT_EQ(presses_of(child_), 0u);
  EXPECT_EQ(presses_of(parent_), 1u);

  // The server holds the shape as given.
  Window xchild = 0;
  {
    int count = 0, ordering = 0;
    // Find the child's X window: the parent's only child.
    Window root_ret, parent_ret, *kids = nullptr;
    unsigned int n = 0;
    Window target = 0;
    XQueryPointer(dpy_, DefaultRootWindow(dpy_), &root_ret, &target, &count, &count, &count, &count,
                  reinterpret_cast<unsigned*>(&count));
    ASSERT_TRUE(XQueryTree(dpy_, target, &root_ret, &parent_ret, &kids, &n));
    ASSERT_EQ(n, 1u);
    xchild = kids[0];
    XFree(kids);
    XRectangle* r = XShapeGetRectangles(dpy_, xchild, ShapeBounding, &count, &ordering);
    int area = 0;
    for (int i = 0; i < count; ++i) area += r[i].width * r[i].height;
    XFree(r);
    EXPECT_EQ(area, 30 * CHILD_SIZE - 100);
  }

  // A new shape replaces (and releases) the old one; none takes it away.
  HRGN right = create_rect_rgn(30, 0, CHILD_SIZE, CHILD_SIZE);
  ASSERT_EQ(set_window_rgn(child_, right, false), 1);
  EXPECT_EQ(internal::live_regions(), regions + 1);
  g_seen.clear();
  click_child(45, 30);
  EXPECT_EQ(presses_of(child_), 1u);
  ASSERT_EQ(set_window_rgn(child_, 0, false), 1);
  EXPECT_EQ(internal::live_regions(), regions);
  g_seen.clear();
  click_child(15, 30);
  EXPECT_EQ(presses_of(child_), 1u) << "rectangular again";

  // A window releases the shape it owns when it goes.
  ASSERT_EQ(set_window_rgn(child_, create_rect_rgn(0, 0, 5, 5), false), 1);
  EXPECT_EQ(internal::live_regions(), regions + 1);
  destroy_window(child_);
  EXPECT_EQ(internal::live_regions(), regions);
  HRGN spare = create_rect_rgn(0, 0, 5, 5);
  EXPECT_EQ(set_window_rgn(child_, spare, false), 0) << "no window";
  EXPECT_TRUE(delete_object(spare)) << "a refused region stays the caller's";
}

TEST_F(WindowSurfaceTest, CopyToAWindowLandsInItsVisual) {
  // A 32-bit section: left half red, right half blue, top row green.
  BITMAPINFO bmi{};
  bmi.bmiHeader = {40, 16, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bm = create_dib_section(0, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bm, 0u);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint32_t c = (y == 0) ? 0x00FF00 : (x < 8 ? 0xFF0000 : 0x0000FF);
      std::memcpy(static_cast<uint8_t*>(bits) + size_t(7 - y) * 64 + size_t(x) * 4, &c, 4);
    }
  HDC mem = create_compatible_dc(0);
  const HGDIOBJ old = select_object(mem, bm);
  for (HWND target : {parent_, child_}) {
    HDC dc = begin_paint(target);
    ASSERT_NE(dc, 0u);
    ASSERT_TRUE(bit_blt(dc, 4, 2, 16, 8, mem, 0, 0, SRCCOPY));
    end_paint(target);
  }
  XSync(dpy_, False);
  // Read back through the screen, where the parent sits at the origin.
  XImage* image = XGetImage(dpy_, DefaultRootWindow(dpy_), 0, 0, 200, 150, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  auto rgb = [&](int x, int y) {
    XColor c;
    c.pixel = XGetPixel(image, x, y);
    XQueryColor(dpy_, DefaultColormap(dpy_, DefaultScreen(dpy_)), &c);
    return uint32_t(c.red >> 8) << 16 | uint32_t(c.green >> 8) << 8 | uint32_t(c.blue >> 8);
  };
  EXPECT_EQ(rgb(4, 2), 0x00FF00u);
  EXPECT_EQ(rgb(4, 3), 0xFF0000u);
  EXPECT_EQ(rgb(19, 9), 0x0000FFu);
  EXPECT_NE(rgb(20, 9), 0x0000FFu) << "nothing beyond the block";
  EXPECT_EQ(rgb(CHILD_X + 4, CHILD_Y + 2), 0x00FF00u) << "the child at its own place";
  EXPECT_EQ(rgb(CHILD_X + 11, CHILD_Y + 5), 0xFF0000u);
  EXPECT_EQ(rgb(CHILD_X + 12, CHILD_Y + 5), 0x0000FFu);
  XDestroyImage(image);
  select_object(mem, old);
  delete_dc(mem);
  delete_object(bm);
}

}  // namespace
