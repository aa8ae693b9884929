// Pointer position, screen size and the tick count.
#include <tvxp/window.h>

#include <time.h>

#include "window_internal.h"

namespace tvxp {

bool get_cursor_pos(POINT* pt) {
  Display* dpy = x11::display();
  if (!dpy || !pt) return false;
  Window root_ret, child_ret;
  int rx = 0, ry = 0, wx, wy;
  unsigned int mask;
  if (!XQueryPointer(dpy, x11::root(), &root_ret, &child_ret, &rx, &ry, &wx, &wy, &mask)) return false;
  pt->X = rx;
  pt->Y = ry;
  return true;
}

bool set_cursor_pos(int x, int y) {
  Display* dpy = x11::display();
  if (!dpy) return false;
  XWarpPointer(dpy, None, x11::root(), 0, 0, 0, 0, x, y);
  XFlush(dpy);
  return true;
}

int get_system_metrics(int index) {
  Display* dpy = x11::display();
  if (!dpy) return 0;
  switch (index) {
    case SM_CXSCREEN:
      return DisplayWidth(dpy, x11::screen());
    case SM_CYSCREEN:
      return DisplayHeight(dpy, x11::screen());
    default:
      return 0;
  }
}

uint32_t get_tick_count() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

int startup_show_command() { return SW_SHOWDEFAULT; }

}  // namespace tvxp
