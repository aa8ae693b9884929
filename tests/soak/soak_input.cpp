#include "soak_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace tvx_soak {
namespace {

Display* dpy() {
  static Display* d = XOpenDisplay(nullptr);
  return d;
}

}  // namespace

void motion_burst(int x, int y, int width, int height, int count) {
  Display* d = dpy();
  for (int i = 0; i < count; ++i) {
    // Steps of 7 and 13 never land on the previous point, so none is dropped
    // by the server as a move to where the pointer already is.
    int px = x + (i * 7) % width;
    int py = y + (i * 13) % height;
    XTestFakeMotionEvent(d, -1, px, py, CurrentTime);
  }
  XFlush(d);
}

void move_window(unsigned long window, int x, int y) {
  XMoveWindow(dpy(), window, x, y);
  XSync(dpy(), False);
}

}  // namespace tvx_soak
