// GL pixel formats and contexts over GLX, and presenting.
#include <tvxp/gl.h>
#include <tvxp/window.h>

#include <GL/glx.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <time.h>
#include <vector>

#ifdef TVXP_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif

#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

struct Formats {
  bool loaded = false;
  std::vector<GLXFBConfig> configs;
  std::vector<PixelFormatInfo> info;
  GLXFBConfig* list = nullptr;
};
Formats g_formats;

struct ContextRecord {
  bool alive = false;
  GLXContext ctx = nullptr;
  int format = 0;
};
std::deque<ContextRecord> g_contexts;
HGLRC g_current = 0;

int attr(Display* dpy, GLXFBConfig c, int name) {
  int v = 0;
  glXGetFBConfigAttrib(dpy, c, name, &v);
  return v;
}

const Formats& formats() {
  if (g_formats.loaded) return g_formats;
  g_formats.loaded = true;
  Display* dpy = x11::display();
  if (!dpy) return g_formats;
  int major = 0, minor = 0;
  if (!glXQueryVersion(dpy, &major, &minor) || (major == 1 && minor < 3)) return g_formats;
  int n = 0;
  x11::trap_begin();
  GLXFBConfig* list = glXGetFBConfigs(dpy, x11::screen(), &n);
  x11::trap_end();
  if (!list) return g_formats;
  g_formats.list = list;
  for (int i = 0; i < n; ++i) {
    GLXFBConfig c = list[i];
    PixelFormatInfo f;
    std::memset(&f, 0, sizeof f);
    f.rgba = (attr(dpy, c, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
    f.window = (attr(dpy, c, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0;
    f.double_buffer = attr(dpy, c, GLX_DOUBLEBUFFER) != 0;
    f.stereo = attr(dpy, c, GLX_STEREO) != 0;
    f.red = attr(dpy, c, GLX_RED_SIZE);
    f.green = attr(dpy, c, GLX_GREEN_SIZE);
    f.blue = attr(dpy, c, GLX_BLUE_SIZE);
    f.alpha = attr(dpy, c, GLX_ALPHA_SIZE);
    f.depth = attr(dpy, c, GLX_DEPTH_SIZE);
    f.stencil = attr(dpy, c, GLX_STENCIL_SIZE);
    f.accum_red = attr(dpy, c, GLX_ACCUM_RED_SIZE);
    f.accum_green = attr(dpy, c, GLX_ACCUM_GREEN_SIZE);
    f.accum_blue = attr(dpy, c, GLX_ACCUM_BLUE_SIZE);
    f.accum_alpha = attr(dpy, c, GLX_ACCUM_ALPHA_SIZE);
    f.aux_buffers = attr(dpy, c, GLX_AUX_BUFFERS);
    f.samples = attr(dpy, c, GLX_SAMPLES);
    XVisualInfo* vi = glXGetVisualFromFBConfig(dpy, c);
    f.visual_depth = vi ? vi->depth : 0;
    if (vi) XFree(vi);
    g_formats.configs.push_back(c);
    g_formats.info.push_back(f);
  }
  return g_formats;
}

int choose(const PIXELFORMATDESCRIPTOR& want) {
  const Formats& f = formats();
  Display* dpy = x11::display();
  if (f.info.empty() || !dpy) return 0;
  int i = rank_pixel_formats(want, f.info.data(), f.info.size(), DefaultDepth(dpy, x11::screen()));
  return i < 0 ? 0 : i + 1;
}

ContextRecord* context(HGLRC h) {
  if (kind_of(h) != ObjectKind::glrc) return nullptr;
  uint32_t i = index_of(h);
  if (i >= g_contexts.size() || !g_contexts[i].alive) return nullptr;
  return &g_contexts[i];
}

bool has_extension(Display* dpy, const char* name) {
  const char* exts = glXQueryExtensionsString(dpy, x11::screen());
  if (!exts) return false;
  size_t n = std::strlen(name);
  for (const char* p = exts; (p = std::strstr(p, name)) != nullptr; p += n)
    if ((p == exts || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  return false;
}

// Presenting is paced to the display; the driver does it where swap control
// is advertised, the layer otherwise.
struct Pacing {
  bool decided = false;
  bool layer_paced = false;
  long period_ns = 1000000000L / 60;
  timespec next{0, 0};
};
Pacing g_pacing;

long refresh_period_ns(Display* dpy) {
#ifdef TVXP_HAVE_XRANDR
  int ev, err;
  if (XRRQueryExtension(dpy, &ev, &err)) {
    x11::trap_begin();
    XRRScreenConfiguration* sc = XRRGetScreenInfo(dpy, x11::root());
    short rate = sc ? XRRConfigCurrentRate(sc) : 0;
    if (sc) XRRFreeScreenConfigInfo(sc);
    x11::trap_end();
    if (rate >= 20 && rate <= 500) return 1000000000L / rate;
  }
#else
  (void)dpy;
#endif
  return 1000000000L / 60;
}

void decide_pacing(Display* dpy, Window xwin) {
  g_pacing.decided = true;
  const char* vblank = std::getenv("vblank_mode");
  if (vblank && std::strcmp(vblank, "0") == 0) return;
  x11::trap_begin();
  bool driver = false;
  if (has_extension(dpy, "GLX_EXT_swap_control")) {
    auto fn = reinterpret_cast<void (*)(Display*, GLXDrawable, int)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (fn) {
      fn(dpy, xwin, 1);
      driver = true;
    }
  } else if (has_extension(dpy, "GLX_MESA_swap_control")) {
    auto fn = reinterpret_cast<int (*)(unsigned)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    driver = fn && fn(1) == 0;
  } else if (has_extension(dpy, "GLX_SGI_swap_control")) {
    auto fn = reinterpret_cast<int (*)(int)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
    driver = fn && fn(1) == 0;
  }
  if (x11::trap_end() != 0) driver = false;
  if (!driver) {
    g_pacing.layer_paced = true;
    g_pacing.period_ns = refresh_period_ns(dpy);
  }
}

void pace() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  auto ns = [](const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; };
  long long next = ns(g_pacing.next);
  long long cur = ns(now);
  // After a stall, start afresh rather than rushing to catch up.
  if (next < cur - g_pacing.period_ns) next = cur;
  if (next > cur) {
    timespec until{static_cast<time_t>(next / 1000000000LL), static_cast<long>(next % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
    }
  }
  next += g_pacing.period_ns;
  g_pacing.next = timespec{static_cast<time_t>(next / 1000000000LL), static_cast<long>(next % 1000000000LL)};
}

}  // namespace

bool default_gl_visual(Visual** visual, int* depth) {
  static bool decided = false;
  static Visual* v = nullptr;
  static int d = 0;
  if (!decided) {
    decided = true;
    // What the toolkit asks for: double-buffered RGBA with 32 for every
    // count. Windows made with this visual need no re-creation when their
    // pixel format is set.
    PIXELFORMATDESCRIPTOR want;
    std::memset(&want, 0, sizeof want);
    want.nSize = sizeof want;
    want.nVersion = 1;
    want.dwFlags = 0x1067;
    want.cColorBits = want.cAlphaBits = want.cAccumBits = 32;
    want.cDepthBits = want.cStencilBits = want.cAuxBuffers = 32;
    int format = choose(want);
    Display* dpy = x11::display();
    if (format && dpy) {
      XVisualInfo* vi = glXGetVisualFromFBConfig(dpy, formats().configs[format - 1]);
      if (vi) {
        v = vi->visual;
        d = vi->depth;
        XFree(vi);
      }
    }
  }
  if (!v) return false;
  *visual = v;
  *depth = d;
  return true;
}

}  // namespace internal

using namespace internal;

int choose_pixel_format(HDC h, const PIXELFORMATDESCRIPTOR* want) {
  if (!dc(h) || !want) return 0;
  return choose(*want);
}

bool describe_pixel_format(HDC, int format, PixelFormatInfo* out) {
  const Formats& f = formats();
  if (format < 1 || static_cast<size_t>(format) > f.info.size() || !out) return false;
  *out = f.info[static_cast<size_t>(format - 1)];
  return true;
}

int get_pixel_format(HDC h) {
  DcRecord* d = dc(h);
  WindowRecord* rec = d ? window(d->wnd) : nullptr;
  return rec ? rec->pixel_format : 0;
}

bool set_pixel_format(HDC h, int format, const PIXELFORMATDESCRIPTOR*) {
  DcRecord* d = dc(h);
  WindowRecord* rec = d ? window(d->wnd) : nullptr;
  const Formats& f = formats();
  if (!rec || format < 1 || static_cast<size_t>(format) > f.configs.size()) return false;
  // A window's format is set once.
  if (rec->pixel_format) return rec->pixel_format == format;
  Display* dpy = x11::display();
  XVisualInfo* vi = glXGetVisualFromFBConfig(dpy, f.configs[static_cast<size_t>(format - 1)]);
  if (!vi) return false;
  bool ok = true;
  if (vi->visualid != XVisualIDFromVisual(rec->visual)) ok = recreate_with_visual(d->wnd, vi->visual, vi->depth);
  XFree(vi);
  if (ok) window(d->wnd)->pixel_format = format;
  return ok;
}

HGLRC gl_create_context(HDC h) {
  DcRecord* d = dc(h);
  WindowRecord* rec = d ? window(d->wnd) : nullptr;
  if (!rec || !rec->pixel_format) return 0;
  Display* dpy = x11::display();
  x11::trap_begin();
  GLXContext ctx = glXCreateNewContext(dpy, formats().configs[static_cast<size_t>(rec->pixel_format - 1)],
                                       GLX_RGBA_TYPE, nullptr, True);
  if (x11::trap_end() != 0 || !ctx) {
    if (ctx) glXDestroyContext(dpy, ctx);
    return 0;
  }
  g_contexts.push_back({true, ctx, rec->pixel_format});
  return make_handle(ObjectKind::glrc, static_cast<uint32_t>(g_contexts.size() - 1));
}

bool gl_make_current(HDC h, HGLRC rc) {
  Display* dpy = x11::display();
  if (!dpy) return false;
  if (!rc) {
    glXMakeCurrent(dpy, None, nullptr);
    g_current = 0;
    return true;
  }
  ContextRecord* c = context(rc);
  DcRecord* d = dc(h);
  WindowRecord* rec = d ? window(d->wnd) : nullptr;
  if (!c || !rec || rec->pixel_format != c->format) return false;
  x11::trap_begin();
  Bool ok = glXMakeCurrent(dpy, rec->xwin, c->ctx);
  if (x11::trap_end() != 0 || !ok) return false;
  g_current = rc;
  return true;
}

bool gl_delete_context(HGLRC rc) {
  ContextRecord* c = context(rc);
  Display* dpy = x11::display();
  if (!c || !dpy) return false;
  if (g_current == rc) {
    glXMakeCurrent(dpy, None, nullptr);
    g_current = 0;
  }
  x11::trap_begin();
  glXDestroyContext(dpy, c->ctx);
  x11::trap_end();
  c->alive = false;
  return true;
}

HGLRC gl_get_current_context() {
  // Another make-current (outside the layer) may have replaced ours.
  ContextRecord* c = context(g_current);
  if (!c || glXGetCurrentContext() != c->ctx) return 0;
  return g_current;
}

bool swap_buffers(HDC h) {
  DcRecord* d = dc(h);
  WindowRecord* rec = d ? window(d->wnd) : nullptr;
  Display* dpy = x11::display();
  if (!rec || !dpy || !rec->pixel_format) return false;
  if (!g_pacing.decided) decide_pacing(dpy, rec->xwin);
  glXSwapBuffers(dpy, rec->xwin);
  if (g_pacing.layer_paced) pace();
  return true;
}

}  // namespace tvxp
