// Cursors and icons loaded from Windows cursor and icon files. One record
// serves as either: a cursor handle can stand for an icon, as the toolkit
// loads icon files through the cursor loader.
#include <tvxp/window.h>

#ifdef TVXP_HAVE_XCURSOR
#include <X11/Xcursor/Xcursor.h>
#endif

#include "cursor_decode.h"
#include "window_internal.h"

namespace tvxp {
namespace {

// An X cursor image wants premultiplied alpha.
uint32_t premultiply(uint32_t argb) {
  uint32_t a = argb >> 24;
  auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) | scale(argb & 0xFF);
}

Cursor make_x_cursor(const CursorImage& img) {
  Display* dpy = x11::display();
  if (!dpy) return 0;
#ifdef TVXP_HAVE_XCURSOR
  XcursorImage* xi = XcursorImageCreate(img.width, img.height);
  if (!xi) return 0;
  xi->xhot = static_cast<XcursorDim>(img.hot_x);
  xi->yhot = static_cast<XcursorDim>(img.hot_y);
  for (size_t i = 0; i < img.argb.size(); ++i) xi->pixels[i] = premultiply(img.argb[i]);
  x11::trap_begin();
  Cursor c = XcursorImageLoadCursor(dpy, xi);
  if (x11::trap_end() != 0) c = 0;
  XcursorImageDestroy(xi);
  return c;
#else
  // Two colours only: opaque dark pixels black, opaque light ones white.
  int w = img.width, h = img.height, stride = (w + 7) / 8;
  std::vector<char> shape(static_cast<size_t>(stride * h)), mask(static_cast<size_t>(stride * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t p = img.argb[static_cast<size_t>(y * w + x)];
      if ((p >> 24) < 128) continue;
      unsigned lum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
      mask[static_cast<size_t>(y * stride + x / 8)] |= static_cast<char>(1 << (x % 8));
      if (lum < 384) shape[static_cast<size_t>(y * stride + x / 8)] |= static_cast<char>(1 << (x % 8));
    }
  x11::trap_begin();
  Pixmap src = XCreateBitmapFromData(dpy, x11::root(), shape.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
  Pixmap msk = XCreateBitmapFromData(dpy, x11::root(), mask.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
  XColor black{}, white{};
  white.red = white.green = white.blue = 0xFFFF;
  Cursor c = XCreatePixmapCursor(dpy, src, msk, &black, &white, static_cast<unsigned>(img.hot_x),
                                 static_cast<unsigned>(img.hot_y));
  XFreePixmap(dpy, src);
  XFreePixmap(dpy, msk);
  if (x11::trap_end() != 0) c = 0;
  return c;
#endif
}

}  // namespace

HCURSOR load_cursor_from_file(const char* file_name) {
  if (!file_name || !*file_name) return 0;
  CursorImage img;
  // A file that cannot be read gives no cursor and no error.
  if (!read_cursor_file(file_name, &img, nullptr)) return 0;
  internal::CursorRecord rec;
  rec.xcursor = make_x_cursor(img);
  rec.width = img.width;
  rec.height = img.height;
  rec.net_wm_icon.reserve(img.argb.size() + 2);
  rec.net_wm_icon.push_back(static_cast<unsigned long>(img.width));
  rec.net_wm_icon.push_back(static_cast<unsigned long>(img.height));
  for (uint32_t p : img.argb) rec.net_wm_icon.push_back(p);
  return internal::add_cursor(std::move(rec));
}

}  // namespace tvxp
