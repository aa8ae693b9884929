// The status bar: a child window along the bottom of its parent, split into
// parts by their right edges, one text per part.
#include <tvxp/window.h>

#include <map>
#include <string>
#include <vector>

#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

const char STATUS_CLASS[] = "msctls_statusbar32";
const int STATUS_HEIGHT = 22;

struct StatusData {
  std::vector<int> edges;  // right edge of each part; -1 reaches the right end
  std::vector<std::string> texts;
};
std::map<HWND, StatusData> g_status;
XFontStruct* g_font = nullptr;

XFontStruct* font(Display* dpy) {
  if (!g_font) {
    g_font = XLoadQueryFont(dpy, "-misc-fixed-medium-r-semicondensed--13-*-*-*-*-*-iso8859-1");
    if (!g_font) g_font = XLoadQueryFont(dpy, "fixed");
  }
  return g_font;
}

void paint(HWND wnd) {
  WindowRecord* rec = window(wnd);
  Display* dpy = x11::display();
  if (!rec || !dpy) return;
  StatusData& data = g_status[wnd];
  GC gc = XCreateGC(dpy, rec->xwin, 0, nullptr);
  XSetForeground(dpy, gc, pixel_for(*rec, 0xF0F0F0));
  XFillRectangle(dpy, rec->xwin, gc, 0, 0, static_cast<unsigned>(rec->width), static_cast<unsigned>(rec->height));
  XSetForeground(dpy, gc, pixel_for(*rec, 0xA0A0A0));
  XDrawLine(dpy, rec->xwin, gc, 0, 0, rec->width, 0);
  XFontStruct* f = font(dpy);
  if (f) XSetFont(dpy, gc, f->fid);
  int left = 0;
  size_t parts = data.edges.empty() ? 1 : data.edges.size();
  for (size_t i = 0; i < parts; ++i) {
    int right = data.edges.empty() ? -1 : data.edges[i];
    if (right < 0 || right > rec->width) right = rec->width;
    if (i > 0) {
      XSetForeground(dpy, gc, pixel_for(*rec, 0xA0A0A0));
      XDrawLine(dpy, rec->xwin, gc, left, 3, left, rec->height - 3);
    }
    if (i < data.texts.size() && !data.texts[i].empty() && f) {
      XSetForeground(dpy, gc, pixel_for(*rec, 0x000000));
      XRectangle clip = {static_cast<short>(left), 0, static_cast<unsigned short>(right > left ? right - left : 0),
                         static_cast<unsigned short>(rec->height)};
      XSetClipRectangles(dpy, gc, 0, 0, &clip, 1, Unsorted);
      int baseline = (rec->height + f->ascent - f->descent) / 2;
      // Core fonts are Latin-1, which the code page matches outside 0x80..0x9F.
      XDrawString(dpy, rec->xwin, gc, left + 4, baseline, data.texts[i].data(), static_cast<int>(data.texts[i].size()));
      XSetClipMask(dpy, gc, None);
    }
    left = right;
  }
  XFreeGC(dpy, gc);
  XFlush(dpy);
}

LRESULT status_proc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      g_status[wnd] = StatusData{};
      return 0;
    case WM_DESTROY:
      g_status.erase(wnd);
      return 0;
    case WM_PAINT:
      begin_paint(wnd);
      paint(wnd);
      end_paint(wnd);
      return 0;
    case SB_SETPARTS: {
      StatusData& data = g_status[wnd];
      int n = static_cast<int>(wparam);
      if (n < 0 || n > 256) return 0;
      const int32_t* edges = reinterpret_cast<const int32_t*>(lparam);
      if (n > 0 && !edges) return 0;
      data.edges.assign(edges, edges + n);
      if (data.texts.size() < data.edges.size()) data.texts.resize(data.edges.size());
      invalidate_rect(wnd, nullptr, true);
      return 1;
    }
    case SB_GETPARTS: {
      StatusData& data = g_status[wnd];
      int32_t* out = reinterpret_cast<int32_t*>(lparam);
      size_t n = data.edges.size();
      if (out)
        for (size_t i = 0; i < n && i < wparam; ++i) out[i] = data.edges[i];
      return static_cast<LRESULT>(n);
    }
    case SB_SETTEXTA: {
      StatusData& data = g_status[wnd];
      size_t part = wparam & 0xFF;
      if (part > 255) return 0;
      if (data.texts.size() <= part) data.texts.resize(part + 1);
      const char* text = reinterpret_cast<const char*>(lparam);
      data.texts[part] = text ? text : "";
      invalidate_rect(wnd, nullptr, true);
      return 1;
    }
    case SB_GETTEXTA: {
      StatusData& data = g_status[wnd];
      size_t part = wparam & 0xFF;
      if (part >= data.texts.size()) return 0;
      char* out = reinterpret_cast<char*>(lparam);
      if (out) data.texts[part].copy(out, data.texts[part].size()), out[data.texts[part].size()] = '\0';
      return static_cast<LRESULT>(data.texts[part].size());
    }
    default:
      return def_window_proc(wnd, message, wparam, lparam);
  }
}

}  // namespace

void ensure_builtin_classes() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASS cls{};
  cls.proc = status_proc;
  cls.background = get_sys_color_brush(15);
  cls.name = STATUS_CLASS;
  register_class(cls);
}

}  // namespace internal

HWND create_status_window(uint32_t style, const char* text, HWND parent, int id) {
  internal::WindowRecord* prec = internal::window(parent);
  if (!prec) return 0;
  HWND wnd = create_window(internal::STATUS_CLASS, "", style | WS_CHILD, 0, prec->height - internal::STATUS_HEIGHT,
                           prec->width, internal::STATUS_HEIGHT, parent, id);
  if (wnd) send_message(wnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  return wnd;
}

}  // namespace tvxp
