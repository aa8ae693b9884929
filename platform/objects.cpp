// Brushes, cursors and icons, and the device contexts of windows.
#include <tvxp/gl.h>
#include <tvxp/window.h>

#include <X11/cursorfont.h>

#include <deque>

#include "cursor_shapes.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

std::deque<BrushRecord> g_brushes;
std::deque<CursorRecord> g_cursors;
std::deque<DcRecord> g_dcs;

HBRUSH add_brush(bool null_brush, uint32_t rgb) {
  for (size_t i = 0; i < g_brushes.size(); ++i)
    if (g_brushes[i].null_brush == null_brush && g_brushes[i].rgb == rgb)
      return make_handle(ObjectKind::brush, static_cast<uint32_t>(i));
  g_brushes.push_back({null_brush, rgb});
  return make_handle(ObjectKind::brush, static_cast<uint32_t>(g_brushes.size() - 1));
}

// The application icon: a small window with a blue caption, drawn here
// since there is no system icon to borrow.
std::vector<unsigned long> application_icon() {
  const int n = 32;
  std::vector<unsigned long> v;
  v.push_back(n);
  v.push_back(n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      unsigned long argb = 0;
      bool inside = x >= 2 && x < 30 && y >= 4 && y < 28;
      bool edge = inside && (x == 2 || x == 29 || y == 4 || y == 27);
      if (edge)
        argb = 0xFF202020;
      else if (inside && y < 10)
        argb = 0xFF2050C0;
      else if (inside)
        argb = 0xFFF4F4F4;
      v.push_back(argb);
    }
  return v;
}

}  // namespace

const BrushRecord* brush(HBRUSH h) {
  if (kind_of(h) != ObjectKind::brush) return nullptr;
  uint32_t i = index_of(h);
  return i < g_brushes.size() ? &g_brushes[i] : nullptr;
}

const CursorRecord* cursor(HCURSOR h) {
  if (kind_of(h) != ObjectKind::cursor) return nullptr;
  uint32_t i = index_of(h);
  return i < g_cursors.size() ? &g_cursors[i] : nullptr;
}

HCURSOR add_cursor(CursorRecord rec) {
  g_cursors.push_back(std::move(rec));
  return make_handle(ObjectKind::cursor, static_cast<uint32_t>(g_cursors.size() - 1));
}

DcRecord* dc(HDC h) {
  if (kind_of(h) != ObjectKind::dc) return nullptr;
  uint32_t i = index_of(h);
  if (i >= g_dcs.size() || !g_dcs[i].alive) return nullptr;
  return &g_dcs[i];
}

HDC new_window_dc(HWND wnd) {
  g_dcs.push_back({true, wnd});
  return make_handle(ObjectKind::dc, static_cast<uint32_t>(g_dcs.size() - 1));
}

}  // namespace internal

using namespace internal;

HCURSOR load_system_cursor(int id) {
  int shape = x11::cursor_font_shape(id);
  if (shape < 0) return 0;
  Display* dpy = x11::display();
  if (!dpy) return 0;
  CursorRecord rec;
  x11::trap_begin();
  rec.xcursor = XCreateFontCursor(dpy, static_cast<unsigned int>(shape));
  if (x11::trap_end() != 0 || !rec.xcursor) return 0;
  return add_cursor(std::move(rec));
}

HICON load_system_icon(int id) {
  if (id != 32512) return 0;
  CursorRecord rec;
  rec.width = rec.height = 32;
  rec.net_wm_icon = application_icon();
  return add_cursor(std::move(rec));
}

HBRUSH get_sys_color_brush(int index) {
  // The colours of the classic 3-D look; 15 is the face colour.
  switch (index) {
    case 15:
      return add_brush(false, 0xF0F0F0);
    case 5:
      return add_brush(false, 0xFFFFFF);
    case 8:
      return add_brush(false, 0x000000);
    default:
      return add_brush(false, 0xC0C0C0);
  }
}

HGDIOBJ get_stock_object(int index) {
  switch (index) {
    case 0:
      return add_brush(false, 0xFFFFFF);
    case 4:
      return add_brush(false, 0x000000);
    case 5:
      return add_brush(true, 0);
    default:
      return 0;
  }
}

HDC get_dc(HWND wnd) {
  WindowRecord* rec = window(wnd);
  if (!rec) return 0;
  if (!rec->dc || !dc(rec->dc)) rec->dc = new_window_dc(wnd);
  return rec->dc;
}

int release_dc(HWND wnd, HDC h) {
  DcRecord* d = dc(h);
  return (d && d->wnd == wnd) ? 1 : 0;
}

HWND window_from_dc(HDC h) {
  DcRecord* d = dc(h);
  return d ? d->wnd : 0;
}

}  // namespace tvxp
