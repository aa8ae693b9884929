// Window shapes through the X shape extension. The bounding shape clips both
// what is drawn and where the pointer reaches the window (the input shape
// is taken inside it), so one shape serves both.
#include <tvxp/gdi.h>

#include <X11/extensions/shape.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

// The region each shaped window owns.
std::unordered_map<HWND, HRGN> g_shapes;

bool have_shape_extension(Display* dpy) {
  int event_base = 0, error_base = 0;
  return XShapeQueryExtension(dpy, &event_base, &error_base) != 0;
}

// X rectangles carry 16-bit positions and sizes: the shape is clipped to
// -32767..32767 on both axes.
std::vector<XRectangle> x_rectangles(HRGN rgn) {
  std::vector<RECT> rects;
  region_rects(rgn, &rects);
  std::vector<XRectangle> out;
  out.reserve(rects.size());
  constexpr int32_t LIMIT = 32767;
  for (const RECT& r : rects) {
    const int32_t x1 = std::clamp(r.left, -LIMIT, LIMIT), x2 = std::clamp(r.right, -LIMIT, LIMIT);
    const int32_t y1 = std::clamp(r.top, -LIMIT, LIMIT), y2 = std::clamp(r.bottom, -LIMIT, LIMIT);
    if (x1 >= x2 || y1 >= y2) continue;
    // A width of up to 65534 fits the unsigned 16-bit size.
    out.push_back({static_cast<short>(x1), static_cast<short>(y1), static_cast<unsigned short>(x2 - x1),
                   static_cast<unsigned short>(y2 - y1)});
  }
  return out;
}

bool apply(const WindowRecord& rec, HRGN rgn) {
  Display* dpy = x11::display();
  if (!dpy || !have_shape_extension(dpy)) return false;
  x11::trap_begin();
  if (!rgn) {
    XShapeCombineMask(dpy, rec.xwin, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> rects = x_rectangles(rgn);
    XShapeCombineRectangles(dpy, rec.xwin, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                            ShapeSet, Unsorted);
  }
  XFlush(dpy);
  return x11::trap_end() == 0;
}

void release(HWND wnd) {
  auto it = g_shapes.find(wnd);
  if (it == g_shapes.end()) return;
  set_region_owned(it->second, false);
  delete_object(it->second);
  g_shapes.erase(it);
}

}  // namespace

void forget_window_shape(HWND wnd) { release(wnd); }

void reapply_window_shape(HWND wnd) {
  auto it = g_shapes.find(wnd);
  const WindowRecord* rec = window(wnd);
  if (it != g_shapes.end() && rec) apply(*rec, it->second);
}

}  // namespace internal

using namespace internal;

int set_window_rgn(HWND wnd, HRGN rgn, bool redraw) {
  WindowRecord* rec = window(wnd);
  if (!rec) return 0;
  if (rgn && (!region_alive(rgn) || region_owned(rgn))) return 0;
  auto it = g_shapes.find(wnd);
  if (it != g_shapes.end() && it->second == rgn) return 1;
  if (!apply(*rec, rgn)) return 0;
  release(wnd);
  if (rgn) {
    set_region_owned(rgn, true);
    g_shapes[wnd] = rgn;
  }
  if (redraw) rec->needs_paint = true;
  return 1;
}

}  // namespace tvxp
