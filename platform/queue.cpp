// The message queue: X events become messages, posted messages wait their
// turn, and the pump hands them out one at a time.
#include <tvxp/window.h>

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <deque>
#include <poll.h>

#include "keymap.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

std::deque<MSG> g_queue;
bool g_quit_posted = false;
int g_quit_code = 0;
bool g_xkb_checked = false;
bool g_detectable_repeat = false;
bool g_key_down[256];
HWND g_capture = 0;
uint32_t g_last_screensaver_check = 0;
const uint32_t SCREENSAVER_PERIOD_MS = 30000;

void check_xkb(Display* dpy) {
  if (g_xkb_checked) return;
  g_xkb_checked = true;
  Bool supported = False;
  XkbSetDetectableAutoRepeat(dpy, True, &supported);
  g_detectable_repeat = supported;
}

bool num_lock_on(Display* dpy, unsigned int state) {
  // The modifier bit that carries Num Lock is found from the keymap.
  static unsigned int mask = 0;
  static bool known = false;
  if (!known) {
    known = true;
    mask = XkbKeysymToModifiers(dpy, XK_Num_Lock);
    if (!mask) mask = Mod2Mask;
  }
  return (state & mask) != 0;
}

WPARAM mouse_keys(unsigned int state) {
  WPARAM w = 0;
  if (state & Button1Mask) w |= MK_LBUTTON;
  if (state & Button3Mask) w |= MK_RBUTTON;
  if (state & Button2Mask) w |= MK_MBUTTON;
  if (state & ShiftMask) w |= MK_SHIFT;
  if (state & ControlMask) w |= MK_CONTROL;
  return w;
}

void push(HWND wnd, UINT message, WPARAM w, LPARAM l, uint32_t time, int root_x, int root_y, uint32_t text = 0) {
  MSG m;
  m.hwnd = wnd;
  m.message = message;
  m.wParam = w;
  m.lParam = l;
  m.time = time;
  m.pt = POINT{root_x, root_y};
  m.text = text;
  g_queue.push_back(m);
}

void key_event(Display* dpy, XKeyEvent& ev, HWND wnd, bool press) {
  KeySym k0 = XLookupKeysym(&ev, 0);
  KeySym k1 = XLookupKeysym(&ev, 1);
  uint32_t vk = x11::vk_from_keysyms(k0, k1, num_lock_on(dpy, ev.state));
  if (vk == 0) return;
  // Without detectable auto-repeat a held key gives release/press pairs with
  // one time stamp: the release is dropped so that the key stays held.
  if (!press && !g_detectable_repeat && XEventsQueued(dpy, QueuedAfterReading)) {
    XEvent next;
    XPeekEvent(dpy, &next);
    if (next.type == KeyPress && next.xkey.keycode == ev.keycode && next.xkey.time == ev.time) return;
  }
  unsigned code = ev.keycode & 0xFF;
  bool was_down = g_key_down[code];
  g_key_down[code] = press;
  bool alt = (ev.state & Mod1Mask) != 0;
  bool system = alt || x11::is_system_key(vk) || vk == VK_MENU;
  UINT message = press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  uint32_t lparam = 1u | (code << 16);
  if (alt) lparam |= 1u << 29;
  if (press && was_down) lparam |= 1u << 30;
  if (!press) lparam |= (1u << 30) | (1u << 31);
  uint32_t text = 0;
  if (press) {
    char buf[8];
    KeySym sym;
    int n = XLookupString(&ev, buf, sizeof buf, &sym, nullptr);
    if (n == 1) text = static_cast<unsigned char>(buf[0]);
  }
  push(wnd, message, vk, static_cast<LPARAM>(lparam), static_cast<uint32_t>(ev.time), ev.x_root, ev.y_root, text);
}

void button_event(XButtonEvent& ev, HWND wnd, bool press) {
  WPARAM keys = mouse_keys(ev.state);
  UINT message = 0;
  switch (ev.button) {
    case Button1:
      message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      keys = press ? (keys | MK_LBUTTON) : (keys & ~MK_LBUTTON);
      break;
    case Button2:
      message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      keys = press ? (keys | MK_MBUTTON) : (keys & ~MK_MBUTTON);
      break;
    case Button3:
      message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      keys = press ? (keys | MK_RBUTTON) : (keys & ~MK_RBUTTON);
      break;
    case Button4:
    case Button5:
      if (!press) return;
      push(wnd, WM_MOUSEWHEEL, keys | (static_cast<WPARAM>(static_cast<uint16_t>(ev.button == Button4 ? 120 : -120)) << 16),
           make_lparam(ev.x_root, ev.y_root), static_cast<uint32_t>(ev.time), ev.x_root, ev.y_root);
      return;
    default:
      return;
  }
  push(wnd, message, keys, make_lparam(ev.x, ev.y), static_cast<uint32_t>(ev.time), ev.x_root, ev.y_root);
}

void translate_x_event(Display* dpy, XEvent& ev) {
  HWND wnd = window_from_x(ev.xany.window);
  if (!wnd) return;
  WindowRecord* rec = window(wnd);
  switch (ev.type) {
    case Expose:
      if (ev.xexpose.count == 0) rec->needs_paint = true;
      break;
    case ConfigureNotify:
      if (ev.xconfigure.window == rec->xwin) {
        rec->width = ev.xconfigure.width;
        rec->height = ev.xconfigure.height;
      }
      break;
    case MapNotify:
      rec->mapped = true;
      if (rec->wants_focus) {
        rec->wants_focus = false;
        x11::trap_begin();
        XSetInputFocus(dpy, rec->xwin, RevertToParent, CurrentTime);
        x11::trap_end();
      }
      break;
    case UnmapNotify:
      if (!rec->parent) rec->mapped = false;
      break;
    case ClientMessage:
      if (static_cast<Atom>(ev.xclient.data.l[0]) == x11::atom("WM_DELETE_WINDOW") &&
          ev.xclient.message_type == x11::atom("WM_PROTOCOLS"))
        push(wnd, WM_SYSCOMMAND, SC_CLOSE, 0, 0, 0, 0);
      break;
    case KeyPress:
    case KeyRelease: {
      // Keys go to the top-level window, whichever child the pointer is in.
      HWND top = wnd;
      while (window(top)->parent) top = window(top)->parent;
      key_event(dpy, ev.xkey, top, ev.type == KeyPress);
      break;
    }
    case ButtonPress:
    case ButtonRelease:
      button_event(ev.xbutton, wnd, ev.type == ButtonPress);
      break;
    case MotionNotify:
      push(wnd, WM_MOUSEMOVE, mouse_keys(ev.xmotion.state), make_lparam(ev.xmotion.x, ev.xmotion.y),
           static_cast<uint32_t>(ev.xmotion.time), ev.xmotion.x_root, ev.xmotion.y_root);
      break;
    default:
      break;
  }
}

// While the foreground window refuses the screen saver, keep it from starting.
void screensaver_tick(Display* dpy) {
  uint32_t now = get_tick_count();
  if (now - g_last_screensaver_check < SCREENSAVER_PERIOD_MS) return;
  g_last_screensaver_check = now;
  HWND fg = get_foreground_window();
  if (!fg) return;
  if (send_message(fg, WM_SYSCOMMAND, SC_SCREENSAVE, 0) == 0) XResetScreenSaver(dpy);
}

void pump_x() {
  Display* dpy = x11::display();
  if (!dpy) return;
  check_xkb(dpy);
  while (XPending(dpy) > 0) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    translate_x_event(dpy, ev);
  }
  screensaver_tick(dpy);
}

bool matches(const MSG& m, HWND filter, UINT first, UINT last) {
  if (filter && m.hwnd != filter) return false;
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

}  // namespace

void forget_window_messages(HWND wnd) {
  for (auto it = g_queue.begin(); it != g_queue.end();)
    it = (it->hwnd == wnd) ? g_queue.erase(it) : it + 1;
}

void note_capture_lost(HWND wnd) {
  if (g_capture == wnd) release_capture();
}

}  // namespace internal

using namespace internal;

bool peek_message(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) {
  pump_x();
  for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
    if (!matches(*it, filter, first, last)) continue;
    if (msg) *msg = *it;
    if (remove & PM_REMOVE) g_queue.erase(it);
    return true;
  }
  if (g_quit_posted && !filter && (first == 0 || first <= WM_QUIT) && (last == 0 || last >= WM_QUIT)) {
    if (msg) *msg = MSG{0, WM_QUIT, static_cast<WPARAM>(g_quit_code), 0, get_tick_count(), {0, 0}, 0};
    if (remove & PM_REMOVE) g_quit_posted = false;
    return true;
  }
  // A window with something to repaint gets WM_PAINT once nothing else waits;
  // it keeps coming until the window is painted.
  if (first == 0 || (first <= WM_PAINT && (last == 0 || last >= WM_PAINT))) {
    for (HWND h = 1; h < window_handle_end(); ++h) {
      WindowRecord* rec = window(h);
      if (!rec || !rec->needs_paint || !rec->mapped) continue;
      if (filter && filter != h) continue;
      if (msg) *msg = MSG{h, WM_PAINT, 0, 0, get_tick_count(), {0, 0}, 0};
      return true;
    }
  }
  return false;
}

int get_message(MSG* msg, HWND filter, UINT first, UINT last) {
  MSG m;
  for (;;) {
    if (peek_message(&m, filter, first, last, PM_REMOVE)) break;
    Display* dpy = x11::display();
    if (!dpy) {
      m = MSG{0, WM_QUIT, 0, 0, 0, {0, 0}, 0};
      break;
    }
    XFlush(dpy);
    pollfd pfd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&pfd, 1, 1000);
  }
  if (msg) *msg = m;
  return m.message == WM_QUIT ? 0 : 1;
}

bool translate_message(const MSG* msg) {
  if (!msg || !msg->text) return false;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
  // The character takes its own turn of the pump, next.
  MSG ch = *msg;
  ch.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  ch.wParam = msg->text;
  ch.text = 0;
  g_queue.push_front(ch);
  return true;
}

LRESULT dispatch_message(const MSG* msg) {
  if (!msg) return 0;
  WindowRecord* rec = window(msg->hwnd);
  if (!rec) return 0;
  return rec->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT send_message(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowRecord* rec = window(wnd);
  if (!rec) return 0;
  return rec->proc(wnd, message, wparam, lparam);
}

bool post_message(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (wnd && !window(wnd)) return false;
  POINT pt{0, 0};
  get_cursor_pos(&pt);
  push(wnd, message, wparam, lparam, get_tick_count(), pt.X, pt.Y);
  return true;
}

void post_quit_message(int exit_code) {
  g_quit_posted = true;
  g_quit_code = exit_code;
}

LRESULT def_window_proc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowRecord* rec = window(wnd);
  if (!rec) return 0;
  switch (message) {
    case WM_CLOSE:
      destroy_window(wnd);
      return 0;
    case WM_PAINT:
      begin_paint(wnd);
      end_paint(wnd);
      return 0;
    case WM_RBUTTONUP: {
      POINT pt{static_cast<int16_t>(lo_word(lparam)), static_cast<int16_t>(hi_word(lparam))};
      client_to_screen(wnd, &pt);
      send_message(wnd, WM_CONTEXTMENU, wnd, make_lparam(pt.X, pt.Y));
      return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (wparam == VK_APPS) send_message(wnd, WM_CONTEXTMENU, wnd, static_cast<LPARAM>(0xFFFFFFFFu));
      return 0;
    case WM_SYSKEYDOWN:
      if (wparam == VK_F4 && (static_cast<uint64_t>(lparam) & (1u << 29))) send_message(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_SYSCOMMAND:
      if (wparam == SC_CLOSE) {
        send_message(wnd, WM_CLOSE, 0, 0);
        return 0;
      }
      // Not refused: the screen saver and power saving may start.
      if (wparam == SC_SCREENSAVE || wparam == SC_MONITORPOWER) return 1;
      return 0;
    case WM_CONTEXTMENU:
      if (rec->parent) return send_message(rec->parent, WM_CONTEXTMENU, wparam, lparam);
      return 0;
    default:
      return 0;
  }
}

HWND set_capture(HWND wnd) {
  HWND previous = g_capture;
  WindowRecord* rec = window(wnd);
  Display* dpy = x11::display();
  if (!rec || !dpy) return previous;
  // owner_events false: every pointer event goes to the capturing window,
  // wherever the pointer is, even over another window of ours.
  x11::trap_begin();
  int r = XGrabPointer(dpy, rec->xwin, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                       GrabModeAsync, None, None, CurrentTime);
  x11::trap_end();
  if (r == GrabSuccess) g_capture = wnd;
  return previous;
}

bool release_capture() {
  Display* dpy = x11::display();
  g_capture = 0;
  if (!dpy) return false;
  XUngrabPointer(dpy, CurrentTime);
  XFlush(dpy);
  return true;
}

HWND get_capture() { return g_capture; }

}  // namespace tvxp
