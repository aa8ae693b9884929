// Window classes and windows.
#include <tvxp/gdi.h>
#include <tvxp/window.h>

#include <X11/Xatom.h>
#include <X11/Xresource.h>

#include <cstring>
#include <deque>
#include <unistd.h>

#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

struct ClassRecord {
  std::string name;
  WNDCLASS cls;
};

std::vector<ClassRecord> g_classes;
std::deque<WindowRecord> g_windows;  // handle = index + 1; never reused; records never move
XContext g_context = 0;

ClassRecord* find_class(const char* name) {
  if (!name) return nullptr;
  for (ClassRecord& c : g_classes)
    if (c.name == name) return &c;
  return nullptr;
}

Atom utf8_string() { return x11::atom("UTF8_STRING"); }

void set_title(WindowRecord& rec) {
  Display* dpy = x11::display();
  std::string utf8 = x11::cp1252_to_utf8(rec.title.c_str());
  XChangeProperty(dpy, rec.xwin, x11::atom("_NET_WM_NAME"), utf8_string(), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  // Legacy WM_NAME is Latin-1; the code page's own 0x80..0x9F letters are lost there.
  XChangeProperty(dpy, rec.xwin, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(rec.title.data()), static_cast<int>(rec.title.size()));
}

// Decorations and functions the frame offers, from the window style.
void set_motif_hints(WindowRecord& rec) {
  struct {
    unsigned long flags, functions, decorations;
    long input_mode;
    unsigned long status;
  } hints = {3, 0, 0, 0, 0};
  const unsigned long FUNC_RESIZE = 2, FUNC_MOVE = 4, FUNC_MINIMIZE = 8, FUNC_MAXIMIZE = 16, FUNC_CLOSE = 32;
  const unsigned long DECOR_BORDER = 2, DECOR_RESIZEH = 4, DECOR_TITLE = 8, DECOR_MENU = 16, DECOR_MINIMIZE = 32,
                      DECOR_MAXIMIZE = 64;
  hints.functions = FUNC_MOVE;
  if (rec.style & WS_SYSMENU) hints.functions |= FUNC_CLOSE;
  if (rec.style & WS_MINIMIZEBOX) hints.functions |= FUNC_MINIMIZE;
  if (rec.style & WS_MAXIMIZEBOX) hints.functions |= FUNC_MAXIMIZE;
  if (rec.style & WS_THICKFRAME) hints.functions |= FUNC_RESIZE;
  if ((rec.style & WS_CAPTION) == WS_CAPTION) {
    hints.decorations = DECOR_BORDER | DECOR_TITLE;
    if (rec.style & WS_SYSMENU) hints.decorations |= DECOR_MENU;
    if (rec.style & WS_MINIMIZEBOX) hints.decorations |= DECOR_MINIMIZE;
    if (rec.style & WS_MAXIMIZEBOX) hints.decorations |= DECOR_MAXIMIZE;
    if (rec.style & WS_THICKFRAME) hints.decorations |= DECOR_RESIZEH;
  } else if (rec.style & WS_BORDER) {
    hints.decorations = DECOR_BORDER;
  }
  Atom a = x11::atom("_MOTIF_WM_HINTS");
  XChangeProperty(x11::display(), rec.xwin, a, a, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&hints), 5);
}

void set_top_level_properties(WindowRecord& rec, bool position_given) {
  Display* dpy = x11::display();
  set_title(rec);
  XClassHint class_hint;
  std::string res_name = "rayheight";
  class_hint.res_name = res_name.data();
  class_hint.res_class = rec.class_name.data();
  XSetClassHint(dpy, rec.xwin, &class_hint);

  Atom protocols[1] = {x11::atom("WM_DELETE_WINDOW")};
  XSetWMProtocols(dpy, rec.xwin, protocols, 1);

  XSizeHints* size = XAllocSizeHints();
  size->flags = PPosition | USPosition;
  size->x = rec.x;
  size->y = rec.y;
  (void)position_given;
  if (!(rec.style & WS_THICKFRAME)) {
    size->flags |= PMinSize | PMaxSize;
    size->min_width = size->max_width = rec.width;
    size->min_height = size->max_height = rec.height;
  }
  size->flags |= PWinGravity;
  size->win_gravity = NorthWestGravity;
  XSetWMNormalHints(dpy, rec.xwin, size);
  XFree(size);

  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint | StateHint;
  wm->input = True;
  wm->initial_state = NormalState;
  XSetWMHints(dpy, rec.xwin, wm);
  XFree(wm);

  long pid = static_cast<long>(getpid());
  XChangeProperty(dpy, rec.xwin, x11::atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  set_motif_hints(rec);

  if (rec.fullscreen && !rec.override_redirect) {
    Atom state = x11::atom("_NET_WM_STATE_FULLSCREEN");
    XChangeProperty(dpy, rec.xwin, x11::atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&state), 1);
  }
}

void apply_icon(WindowRecord& rec, HICON icon) {
  const CursorRecord* c = cursor(icon);
  if (!c || c->net_wm_icon.empty()) return;
  XChangeProperty(x11::display(), rec.xwin, x11::atom("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(c->net_wm_icon.data()),
                  static_cast<int>(c->net_wm_icon.size()));
}

long event_mask_for(const WindowRecord& rec) {
  long mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
              EnterWindowMask | LeaveWindowMask;
  // Key events of children travel up to the top-level window, which has the focus.
  if (!rec.parent) mask |= KeyPressMask | KeyReleaseMask | FocusChangeMask;
  return mask;
}

Window make_xwindow(WindowRecord& rec, Window xparent, Visual* visual, int depth, Colormap* colormap_out) {
  Display* dpy = x11::display();
  XSetWindowAttributes attrs;
  std::memset(&attrs, 0, sizeof attrs);
  unsigned long mask = CWEventMask | CWBorderPixel | CWColormap | CWBitGravity;
  attrs.event_mask = event_mask_for(rec);
  attrs.border_pixel = 0;
  attrs.bit_gravity = NorthWestGravity;
  Colormap cmap;
  if (visual == DefaultVisual(dpy, x11::screen()))
    cmap = DefaultColormap(dpy, x11::screen());
  else
    cmap = XCreateColormap(dpy, x11::root(), visual, AllocNone);
  attrs.colormap = cmap;
  if (rec.override_redirect) {
    attrs.override_redirect = True;
    mask |= CWOverrideRedirect;
  }
  const BrushRecord* b = brush(rec.background);
  if (b && !b->null_brush) {
    rec.visual = visual;
    rec.colormap = cmap;
    attrs.background_pixel = pixel_for(rec, b->rgb);
    mask |= CWBackPixel;
  }
  Window w = XCreateWindow(dpy, xparent, rec.x, rec.y, static_cast<unsigned>(rec.width > 0 ? rec.width : 1),
                           static_cast<unsigned>(rec.height > 0 ? rec.height : 1), 0, depth, InputOutput, visual,
                           mask, &attrs);
  *colormap_out = cmap;
  return w;
}

void map_and_focus(WindowRecord& rec) {
  Display* dpy = x11::display();
  XMapRaised(dpy, rec.xwin);
  rec.mapped = true;
  rec.needs_paint = true;
  if (rec.parent) return;
  // Wait until the window is viewable, so that it can take the focus as a
  // newly shown window does.
  XEvent ev;
  Window target = rec.xwin;
  for (int i = 0; i < 200; ++i) {
    if (XCheckTypedWindowEvent(dpy, target, MapNotify, &ev)) break;
    XWindowAttributes wa;
    if (XGetWindowAttributes(dpy, target, &wa) && wa.map_state == IsViewable) break;
    usleep(5000);
  }
  x11::trap_begin();
  XSetInputFocus(dpy, rec.xwin, RevertToParent, CurrentTime);
  // Not viewable yet on a slow server: the focus is taken when it maps.
  rec.wants_focus = x11::trap_end() != 0;
  if (x11::window_manager_present()) {
    XEvent msg;
    std::memset(&msg, 0, sizeof msg);
    msg.xclient.type = ClientMessage;
    msg.xclient.window = rec.xwin;
    msg.xclient.message_type = x11::atom("_NET_ACTIVE_WINDOW");
    msg.xclient.format = 32;
    msg.xclient.data.l[0] = 1;
    msg.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, x11::root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &msg);
  }
  XFlush(dpy);
}

}  // namespace

WindowRecord* window(HWND wnd) {
  if (wnd == 0 || wnd > g_windows.size()) return nullptr;
  WindowRecord* rec = &g_windows[wnd - 1];
  return rec->alive ? rec : nullptr;
}

HWND window_from_x(Window xwin) {
  Display* dpy = x11::display();
  if (!dpy || !g_context) return 0;
  XPointer data = nullptr;
  if (XFindContext(dpy, xwin, g_context, &data) != 0) return 0;
  HWND h = static_cast<HWND>(reinterpret_cast<uintptr_t>(data));
  return window(h) ? h : 0;
}

HWND window_handle_end() { return static_cast<HWND>(g_windows.size() + 1); }

unsigned long pixel_for(const WindowRecord& rec, uint32_t rgb) {
  Display* dpy = x11::display();
  Visual* v = rec.visual ? rec.visual : DefaultVisual(dpy, x11::screen());
  if (v->c_class == TrueColor || v->c_class == DirectColor) {
    auto place = [](unsigned long mask, unsigned value) -> unsigned long {
      if (!mask) return 0;
      int shift = 0;
      while (!((mask >> shift) & 1)) ++shift;
      int bits = 0;
      while ((mask >> (shift + bits)) & 1) ++bits;
      unsigned long v8 = value & 0xFF;
      unsigned long scaled = bits >= 8 ? v8 << (bits - 8) : v8 >> (8 - bits);
      return (scaled << shift) & mask;
    };
    return place(v->red_mask, (rgb >> 16) & 0xFF) | place(v->green_mask, (rgb >> 8) & 0xFF) |
           place(v->blue_mask, rgb & 0xFF);
  }
  XColor c;
  c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
  c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
  c.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
  c.flags = DoRed | DoGreen | DoBlue;
  Colormap cmap = rec.colormap ? rec.colormap : DefaultColormap(dpy, x11::screen());
  if (XAllocColor(dpy, cmap, &c)) return c.pixel;
  return BlackPixel(dpy, x11::screen());
}

bool recreate_with_visual(HWND wnd, Visual* visual, int depth) {
  WindowRecord* rec = window(wnd);
  Display* dpy = x11::display();
  if (!rec || !dpy) return false;
  x11::trap_begin();
  Window xparent = rec->parent ? window(rec->parent)->xwin : x11::root();
  int saved_x = rec->x, saved_y = rec->y;
  if (!rec->parent) {
    // Keep the window where it is on screen.
    Window child;
    XTranslateCoordinates(dpy, rec->xwin, x11::root(), 0, 0, &rec->x, &rec->y, &child);
  }
  Colormap cmap = 0;
  Visual* old_visual = rec->visual;
  Colormap old_cmap = rec->colormap;
  Window neww = make_xwindow(*rec, xparent, visual, depth, &cmap);
  Window oldw = rec->xwin;
  rec->xwin = neww;
  rec->visual = visual;
  rec->depth = depth;
  rec->colormap = cmap;
  if (!rec->parent) {
    set_top_level_properties(*rec, true);
    WNDCLASS cls;
    if (get_class_info(rec->class_name.c_str(), &cls)) apply_icon(*rec, cls.icon);
  }
  const CursorRecord* c = cursor(rec->cursor);
  if (c && c->xcursor) XDefineCursor(dpy, neww, c->xcursor);
  reapply_window_shape(wnd);
  // Children move over to the new window.
  Window root_ret, parent_ret, *children = nullptr;
  unsigned int n = 0;
  if (XQueryTree(dpy, oldw, &root_ret, &parent_ret, &children, &n)) {
    for (unsigned int i = 0; i < n; ++i) {
      HWND ch = window_from_x(children[i]);
      WindowRecord* crec = window(ch);
      if (crec) XReparentWindow(dpy, children[i], neww, crec->x, crec->y);
    }
    if (children) XFree(children);
  }
  XDeleteContext(dpy, oldw, g_context);
  XSaveContext(dpy, neww, g_context, reinterpret_cast<XPointer>(static_cast<uintptr_t>(wnd)));
  bool was_mapped = rec->mapped;
  XDestroyWindow(dpy, oldw);
  if (old_cmap && old_cmap != DefaultColormap(dpy, x11::screen()) && old_visual != visual) XFreeColormap(dpy, old_cmap);
  rec->mapped = false;
  if (was_mapped) map_and_focus(*rec);
  if (!rec->parent) {
    rec->x = saved_x;
    rec->y = saved_y;
  }
  return x11::trap_end() == 0;
}

}  // namespace internal

using namespace internal;

uint16_t register_class(const WNDCLASS& cls) {
  if (!cls.name || !*cls.name || !cls.proc) return 0;
  if (find_class(cls.name)) return 0;
  ClassRecord rec;
  rec.name = cls.name;
  rec.cls = cls;
  rec.cls.name = nullptr;
  g_classes.push_back(rec);
  return static_cast<uint16_t>(0xC000 + g_classes.size());
}

bool get_class_info(const char* name, WNDCLASS* out) {
  ClassRecord* c = find_class(name);
  if (!c) return false;
  if (out) {
    *out = c->cls;
    out->name = c->name.c_str();
  }
  return true;
}

uint16_t register_class_ex(const WNDCLASSEX& cls) {
  WNDCLASS plain{cls.style, cls.lpfnWndProc, cls.hIcon, cls.hCursor, cls.hbrBackground, cls.lpszClassName};
  return register_class(plain);
}

bool get_class_info_ex(const char* name, WNDCLASSEX* out) {
  WNDCLASS plain;
  if (!get_class_info(name, &plain)) return false;
  if (out) {
    *out = WNDCLASSEX{48, plain.style, plain.proc, 0, 0, 0, plain.icon, plain.cursor, plain.background, nullptr,
                      plain.name, plain.icon};
  }
  return true;
}

bool unregister_class(const char* name) {
  for (size_t i = 0; i < g_classes.size(); ++i)
    if (g_classes[i].name == (name ? name : "")) {
      g_classes.erase(g_classes.begin() + static_cast<long>(i));
      return true;
    }
  return false;
}

HWND create_window(const char* class_name, const char* title, uint32_t style, int x, int y, int width, int height,
                   HWND parent, int child_id) {
  ensure_builtin_classes();
  ClassRecord* cls = find_class(class_name);
  if (!cls) return 0;
  Display* dpy = x11::display();
  if (!dpy) return 0;
  const bool child = (style & WS_CHILD) != 0;
  WindowRecord* prec = window(parent);
  if (child && !prec) return 0;
  if (!g_context) g_context = XUniqueContext();

  WindowRecord rec;
  rec.alive = true;
  rec.parent = child ? parent : 0;
  rec.proc = cls->cls.proc;
  rec.class_style = cls->cls.style;
  rec.cursor = cls->cls.cursor;
  rec.background = cls->cls.background;
  rec.class_name = cls->name;
  rec.title = title ? title : "";
  rec.style = style;
  rec.child_id = child ? child_id : 0;
  rec.x = (x == CW_USEDEFAULT) ? 0 : x;
  rec.y = (y == CW_USEDEFAULT) ? 0 : y;
  rec.width = (width == CW_USEDEFAULT) ? 640 : width;
  rec.height = (height == CW_USEDEFAULT) ? 480 : height;
  if (rec.width <= 0 || rec.height <= 0 || rec.width > 32767 || rec.height > 32767) return 0;

  Visual* visual;
  int depth;
  if (child) {
    visual = prec->visual;
    depth = prec->depth;
  } else if (!default_gl_visual(&visual, &depth)) {
    visual = DefaultVisual(dpy, x11::screen());
    depth = DefaultDepth(dpy, x11::screen());
  }
  if (!child) {
    // A window without a caption that covers the screen is a full-screen
    // window: the window manager's full-screen state where there is one, an
    // override-redirect window at the origin where there is none.
    int sw = DisplayWidth(dpy, x11::screen()), sh = DisplayHeight(dpy, x11::screen());
    if ((style & WS_CAPTION) != WS_CAPTION && rec.width >= sw && rec.height >= sh && rec.x <= 0 && rec.y <= 0) {
      rec.fullscreen = true;
      rec.override_redirect = !x11::window_manager_present();
      rec.x = rec.y = 0;
    }
  }
  rec.visual = visual;
  rec.depth = depth;

  x11::trap_begin();
  Window xparent = child ? prec->xwin : x11::root();
  Colormap cmap = 0;
  rec.xwin = make_xwindow(rec, xparent, visual, depth, &cmap);
  rec.colormap = cmap;
  if (x11::trap_end() != 0 || !rec.xwin) return 0;

  g_windows.push_back(std::move(rec));
  HWND wnd = static_cast<HWND>(g_windows.size());
  WindowRecord* r = &g_windows.back();
  XSaveContext(dpy, r->xwin, g_context, reinterpret_cast<XPointer>(static_cast<uintptr_t>(wnd)));
  x11::trap_begin();
  if (!child) {
    set_top_level_properties(*r, true);
    apply_icon(*r, cls->cls.icon);
  }
  const CursorRecord* c = cursor(r->cursor);
  if (c && c->xcursor) XDefineCursor(dpy, r->xwin, c->xcursor);
  x11::trap_end();

  WNDPROC proc = r->proc;
  if (proc(wnd, WM_CREATE, 0, 0) == -1) {
    destroy_window(wnd);
    return 0;
  }
  r = window(wnd);
  if (!r) return 0;
  if (style & WS_VISIBLE) map_and_focus(*r);
  return wnd;
}

bool is_window(HWND wnd) { return window(wnd) != nullptr; }

namespace {

void destroy_tree(HWND wnd) {
  WindowRecord* rec = window(wnd);
  if (!rec || rec->destroying) return;
  rec->destroying = true;
  // The window hears of its end first, then its children.
  rec->proc(wnd, WM_DESTROY, 0, 0);
  for (HWND h = 1; h < window_handle_end(); ++h) {
    WindowRecord* c = window(h);
    if (c && c->parent == wnd) destroy_tree(h);
  }
}

void release_tree(HWND wnd) {
  for (HWND h = 1; h < window_handle_end(); ++h) {
    WindowRecord* c = window(h);
    if (c && c->parent == wnd) release_tree(h);
  }
  WindowRecord* rec = window(wnd);
  if (!rec) return;
  Display* dpy = x11::display();
  note_capture_lost(wnd);
  forget_window_messages(wnd);
  forget_window_shape(wnd);
  if (rec->dc) {
    DcRecord* d = dc(rec->dc);
    if (d) d->alive = false;
  }
  XDeleteContext(dpy, rec->xwin, g_context);
  rec->alive = false;
  rec->props.clear();
}

}  // namespace

bool destroy_window(HWND wnd) {
  WindowRecord* rec = window(wnd);
  if (!rec) return false;
  if (rec->destroying) return true;
  destroy_tree(wnd);
  rec = window(wnd);
  if (!rec) return true;
  Display* dpy = x11::display();
  Window xwin = rec->xwin;
  Colormap cmap = rec->colormap;
  bool top = rec->parent == 0;
  release_tree(wnd);
  x11::trap_begin();
  XDestroyWindow(dpy, xwin);
  if (top && cmap && cmap != DefaultColormap(dpy, x11::screen())) XFreeColormap(dpy, cmap);
  x11::trap_end();
  return true;
}

bool show_window(HWND wnd, int show_command) {
  WindowRecord* rec = window(wnd);
  if (!rec) return false;
  bool was = rec->mapped;
  if (show_command == SW_HIDE) {
    if (rec->mapped) XUnmapWindow(x11::display(), rec->xwin);
    rec->mapped = false;
    rec->style &= ~WS_VISIBLE;
  } else {
    rec->style |= WS_VISIBLE;
    if (!rec->mapped) map_and_focus(*rec);
  }
  return was;
}

bool update_window(HWND wnd) {
  WindowRecord* rec = window(wnd);
  if (!rec) return false;
  if (rec->needs_paint && rec->mapped) send_message(wnd, WM_PAINT, 0, 0);
  return true;
}

bool move_window(HWND wnd, int x, int y, int width, int height, bool repaint) {
  WindowRecord* rec = window(wnd);
  if (!rec || width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  rec->x = x;
  rec->y = y;
  rec->width = width;
  rec->height = height;
  x11::trap_begin();
  XMoveResizeWindow(x11::display(), rec->xwin, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
  x11::trap_end();
  if (repaint) rec->needs_paint = true;
  return true;
}

bool set_window_text(HWND wnd, const char* text) {
  WindowRecord* rec = window(wnd);
  if (!rec) return false;
  rec->title = text ? text : "";
  if (!rec->parent) set_title(*rec);
  return true;
}

namespace {

// Left, right, top and bottom of the window manager's frame.
void frame_extents(const WindowRecord& rec, long out[4]) {
  out[0] = out[1] = out[2] = out[3] = 0;
  if (rec.parent || rec.override_redirect) return;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  x11::trap_begin();
  if (XGetWindowProperty(x11::display(), rec.xwin, x11::atom("_NET_FRAME_EXTENTS"), 0, 4, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success &&
      data && count == 4 && format == 32) {
    long* v = reinterpret_cast<long*>(data);
    for (int i = 0; i < 4; ++i) out[i] = v[i];
  }
  if (data) XFree(data);
  x11::trap_end();
}

}  // namespace

bool get_frame_extents(HWND wnd, RECT* out) {
  WindowRecord* rec = window(wnd);
  if (!rec || !out) return false;
  long ext[4];
  frame_extents(*rec, ext);
  *out = RECT{static_cast<int32_t>(ext[0]), static_cast<int32_t>(ext[2]), static_cast<int32_t>(ext[1]),
              static_cast<int32_t>(ext[3])};
  return true;
}

bool client_to_screen(HWND wnd, POINT* pt) {
  WindowRecord* rec = window(wnd);
  if (!rec || !pt) return false;
  int sx = 0, sy = 0;
  Window child;
  x11::trap_begin();
  XTranslateCoordinates(x11::display(), rec->xwin, x11::root(), pt->X, pt->Y, &sx, &sy, &child);
  bool ok = x11::trap_end() == 0;
  pt->X = sx;
  pt->Y = sy;
  return ok;
}

bool get_window_rect(HWND wnd, RECT* out) {
  WindowRecord* rec = window(wnd);
  if (!rec || !out) return false;
  POINT origin = {0, 0};
  if (!client_to_screen(wnd, &origin)) return false;
  long ext[4];
  frame_extents(*rec, ext);
  out->left = origin.X - static_cast<int32_t>(ext[0]);
  out->top = origin.Y - static_cast<int32_t>(ext[2]);
  out->right = origin.X + rec->width + static_cast<int32_t>(ext[1]);
  out->bottom = origin.Y + rec->height + static_cast<int32_t>(ext[3]);
  return true;
}

bool get_client_rect(HWND wnd, RECT* out) {
  WindowRecord* rec = window(wnd);
  if (!rec || !out) return false;
  *out = RECT{0, 0, rec->width, rec->height};
  return true;
}

HWND get_parent(HWND wnd) {
  WindowRecord* rec = window(wnd);
  return rec ? rec->parent : 0;
}

int get_dlg_ctrl_id(HWND wnd) {
  WindowRecord* rec = window(wnd);
  return rec ? rec->child_id : 0;
}

uint32_t get_window_style(HWND wnd) {
  WindowRecord* rec = window(wnd);
  return rec ? rec->style : 0;
}

HWND get_foreground_window() {
  Display* dpy = x11::display();
  if (!dpy) return 0;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(dpy, &focus, &revert);
  if (focus == None || focus == PointerRoot) return 0;
  // The focus may sit on one of our windows or inside it.
  x11::trap_begin();
  for (int depth = 0; depth < 32 && focus && focus != x11::root(); ++depth) {
    HWND h = window_from_x(focus);
    if (h) {
      while (window(h) && window(h)->parent) h = window(h)->parent;
      x11::trap_end();
      return h;
    }
    Window root_ret, parent_ret, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, focus, &root_ret, &parent_ret, &children, &n)) break;
    if (children) XFree(children);
    focus = parent_ret;
  }
  x11::trap_end();
  return 0;
}

bool set_prop(HWND wnd, const char* name, uintptr_t value) {
  WindowRecord* rec = window(wnd);
  if (!rec || !name) return false;
  for (auto& p : rec->props)
    if (p.first == name) {
      p.second = value;
      return true;
    }
  rec->props.emplace_back(name, value);
  return true;
}

uintptr_t get_prop(HWND wnd, const char* name) {
  WindowRecord* rec = window(wnd);
  if (!rec || !name) return 0;
  for (auto& p : rec->props)
    if (p.first == name) return p.second;
  return 0;
}

uintptr_t remove_prop(HWND wnd, const char* name) {
  WindowRecord* rec = window(wnd);
  if (!rec || !name) return 0;
  for (size_t i = 0; i < rec->props.size(); ++i)
    if (rec->props[i].first == name) {
      uintptr_t v = rec->props[i].second;
      rec->props.erase(rec->props.begin() + static_cast<long>(i));
      return v;
    }
  return 0;
}

bool invalidate_rect(HWND wnd, const RECT*, bool) {
  WindowRecord* rec = window(wnd);
  if (!rec) return false;
  rec->needs_paint = true;
  return true;
}

HDC begin_paint(HWND wnd) {
  WindowRecord* rec = window(wnd);
  if (!rec) return 0;
  rec->needs_paint = false;
  if (!rec->dc) rec->dc = new_window_dc(wnd);
  return rec->dc;
}

bool end_paint(HWND wnd) { return window(wnd) != nullptr; }

}  // namespace tvxp
