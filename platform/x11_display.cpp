// The display connection, atoms, and the X error traps.
#include "x11_common.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace tvxp::x11 {
namespace {

Display* g_display = nullptr;
bool g_tried = false;
int g_trap_depth = 0;
int g_trap_error = 0;

int on_x_error(Display* dpy, XErrorEvent* ev) {
  if (g_trap_depth > 0) {
    if (g_trap_error == 0) g_trap_error = ev->error_code;
    return 0;
  }
  // Outside a trap the error is announced and the program goes on: a failed
  // request is no reason to die.
  char text[256];
  XGetErrorText(dpy, ev->error_code, text, sizeof text);
  std::fprintf(stderr, "X error: %s (request %d.%d)\n", text, ev->request_code, ev->minor_code);
  return 0;
}

int on_io_error(Display*) {
  // The server went away: nothing more can be shown or read.
  static const char msg[] = "The connection to the X server was lost.\n";
  ssize_t ignored = write(2, msg, sizeof msg - 1);
  (void)ignored;
  _exit(1);
}

}  // namespace

Display* display() {
  if (!g_tried) {
    g_tried = true;
    XSetErrorHandler(on_x_error);
    XSetIOErrorHandler(on_io_error);
    g_display = XOpenDisplay(nullptr);
  }
  return g_display;
}

int screen() { return display() ? DefaultScreen(g_display) : 0; }

Window root() { return display() ? RootWindow(g_display, DefaultScreen(g_display)) : 0; }

Atom atom(const char* name) { return display() ? XInternAtom(g_display, name, False) : 0; }

void trap_begin() {
  if (g_trap_depth++ == 0) {
    if (g_display) XSync(g_display, False);
    g_trap_error = 0;
  }
}

int trap_end() {
  if (g_display) XSync(g_display, False);
  int err = g_trap_error;
  if (--g_trap_depth == 0) g_trap_error = 0;
  return err;
}

std::string cp1252_to_utf8(const char* text) {
  // 0x80..0x9F are the code page's own; the rest of the upper half is Latin-1.
  static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  if (!text) return out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    unsigned c = *p;
    if (c >= 0x80 && c < 0xA0) c = high[c - 0x80];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool window_manager_present() {
  Display* dpy = display();
  if (!dpy) return false;
  Atom check = atom("_NET_SUPPORTING_WM_CHECK");
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  bool found = false;
  trap_begin();
  if (XGetWindowProperty(dpy, root(), check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
          Success &&
      data && count == 1) {
    Window wm = *reinterpret_cast<Window*>(data);
    XFree(data);
    data = nullptr;
    // The check window must name itself too, or it is a stale leftover.
    if (XGetWindowProperty(dpy, wm, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
            Success &&
        data && count == 1 && *reinterpret_cast<Window*>(data) == wm)
      found = true;
  }
  if (data) XFree(data);
  trap_end();
  return found;
}

}  // namespace tvxp::x11
