// Memory surfaces, device-independent sections and block copies. Pixels are
// converted through 0x00RRGGBB, so any depth copies into any other; copies to
// a window go out with XPutImage in the window's own visual.
#include <tvxp/gdi.h>
#include <tvxp/gl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "bitmap_internal.h"
#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

struct SurfaceRecord {
  bool alive = false;
  HBITMAP bitmap = 0;  // 0: the stock bitmap
};

// Indices are never reused, so a released surface stays invalid.
std::deque<SurfaceRecord> g_surfaces;
size_t g_live_surfaces = 0;

// Bit-pattern index of the stock bitmap: above anything add_bitmap hands out.
constexpr uint32_t STOCK_BITMAP_INDEX = 0xFFFFFEu;

uint8_t g_stock_pixels[4] = {0, 0, 0, 0};
const DibImage g_stock_image = {1, 1, false, 1, 4, g_stock_pixels, {0x000000, 0xFFFFFF}, 2, {0, 0, 0, 0}};

SurfaceRecord* surface(HDC h) {
  if (kind_of(h) != ObjectKind::dc) return nullptr;
  const uint32_t i = index_of(h);
  if (i < MEMORY_DC_BASE || i - MEMORY_DC_BASE >= g_surfaces.size()) return nullptr;
  SurfaceRecord* rec = &g_surfaces[i - MEMORY_DC_BASE];
  return rec->alive ? rec : nullptr;
}

// A channel of `bits` bits, scaled to 8.
uint32_t scale_to_8(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1u)) ++shift;
  const uint32_t max = mask >> shift;
  const uint32_t v = (value & mask) >> shift;
  return (v * 255u + max / 2) / max;
}

uint32_t place_from_8(uint32_t value8, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1u)) ++shift;
  const uint32_t max = mask >> shift;
  return (((value8 * max + 127u) / 255u) << shift) & mask;
}

// Row `y` counted from the top of the picture, whatever the row order.
const uint8_t* row_from_top(const DibImage& im, int y) {
  const int r = im.top_down ? y : im.height - 1 - y;
  return im.pixels + static_cast<size_t>(r) * im.stride;
}
uint8_t* row_from_top(DibImage& im, int y) {
  const int r = im.top_down ? y : im.height - 1 - y;
  return im.pixels + static_cast<size_t>(r) * im.stride;
}

uint32_t table_colour(const DibImage& im, uint32_t index) {
  return index < im.color_count ? (im.colors[index] & 0xFFFFFFu) : 0;
}

// 0x00RRGGBB of pixel x of a row.
uint32_t read_pixel(const DibImage& im, const uint8_t* row, int x) {
  switch (im.bits) {
    case 1:
      return table_colour(im, (row[x >> 3] >> (7 - (x & 7))) & 1u);
    case 4:
      return table_colour(im, (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4));
    case 8:
      return table_colour(im, row[x]);
    case 16: {
      const uint32_t v = uint32_t{row[2 * x]} | uint32_t{row[2 * x + 1]} << 8;
      return scale_to_8(v, im.masks[0]) << 16 | scale_to_8(v, im.masks[1]) << 8 | scale_to_8(v, im.masks[2]);
    }
    case 24: {
      const uint8_t* p = row + 3 * x;
      return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    case 32: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return scale_to_8(v, im.masks[0]) << 16 | scale_to_8(v, im.masks[1]) << 8 | scale_to_8(v, im.masks[2]);
    }
    default:
      return 0;
  }
}

// The colour-table entry nearest to `rgb`, for palette destinations.
uint32_t nearest_index(const DibImage& im, uint32_t rgb) {
  uint32_t best = 0;
  long best_d = LONG_MAX;
  for (uint32_t i = 0; i < im.color_count; ++i) {
    const long dr = long((im.colors[i] >> 16) & 0xFF) - long((rgb >> 16) & 0xFF);
    const long dg = long((im.colors[i] >> 8) & 0xFF) - long((rgb >> 8) & 0xFF);
    const long db = long(im.colors[i] & 0xFF) - long(rgb & 0xFF);
    const long d = dr * dr + dg * dg + db * db;
    if (d < best_d) {
      best_d = d;
      best = i;
    }
  }
  return best;
}

void write_pixel(DibImage& im, uint8_t* row, int x, uint32_t rgb) {
  const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  switch (im.bits) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
      if (nearest_index(im, rgb) & 1u)
        row[x >> 3] |= bit;
      else
        row[x >> 3] &= static_cast<uint8_t>(~bit);
      break;
    }
    case 4: {
      const uint8_t i = static_cast<uint8_t>(nearest_index(im, rgb) & 0x0Fu);
      uint8_t& byte = row[x >> 1];
      byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0u) | i) : static_cast<uint8_t>((byte & 0x0Fu) | (i << 4));
      break;
    }
    case 8:
      row[x] = static_cast<uint8_t>(nearest_index(im, rgb));
      break;
    case 16: {
      const uint32_t v = place_from_8(r, im.masks[0]) | place_from_8(g, im.masks[1]) | place_from_8(b, im.masks[2]);
      row[2 * x] = static_cast<uint8_t>(v);
      row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      break;
    }
    case 24:
      row[3 * x] = static_cast<uint8_t>(b);
      row[3 * x + 1] = static_cast<uint8_t>(g);
      row[3 * x + 2] = static_cast<uint8_t>(r);
      break;
    case 32: {
      const uint32_t v = place_from_8(r, im.masks[0]) | place_from_8(g, im.masks[1]) | place_from_8(b, im.masks[2]);
      std::memcpy(row + 4 * x, &v, 4);
      break;
    }
    default:
      break;
  }
}

// Clips a copy of width x height from (sx, sy) of a w_src x h_src source to
// (dx, dy) of a w_dst x h_dst destination. False when nothing is left.
bool clip_copy(int* dx, int* dy, int* width, int* height, int* sx, int* sy, int w_src, int h_src, int w_dst,
               int h_dst) {
  long x0 = *dx, y0 = *dy, s0 = *sx, t0 = *sy, w = *width, h = *height;
  auto cut = [](long& d, long& s, long& n, long d_size, long s_size) {
    if (s < 0) {
      d -= s;
      n += s;
      s = 0;
    }
    if (d < 0) {
      s -= d;
      n += d;
      d = 0;
    }
    n = std::min(n, s_size - s);
    n = std::min(n, d_size - d);
  };
  cut(x0, s0, w, w_dst, w_src);
  cut(y0, t0, h, h_dst, h_src);
  if (w <= 0 || h <= 0) return false;
  *dx = int(x0), *dy = int(y0), *sx = int(s0), *sy = int(t0), *width = int(w), *height = int(h);
  return true;
}

bool blit_to_window(HWND wnd, int x, int y, int width, int height, const DibImage& src, int sx, int sy) {
  WindowRecord* rec = window(wnd);
  Display* dpy = x11::display();
  if (!rec || !dpy) return false;
  if (!clip_copy(&x, &y, &width, &height, &sx, &sy, src.width, src.height, rec->width, rec->height)) return true;
  Visual* visual = rec->visual ? rec->visual : DefaultVisual(dpy, x11::screen());
  const int depth = rec->depth ? rec->depth : DefaultDepth(dpy, x11::screen());
  x11::trap_begin();
  XImage* image = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (!image) {
    x11::trap_end();
    return false;
  }
  image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
  if (!image->data) {
    XDestroyImage(image);
    x11::trap_end();
    return false;
  }
  // Colours repeat in runs; pixel_for may ask the server on colormapped visuals.
  uint32_t last_rgb = 0xFFFFFFFFu;
  unsigned long last_pixel = 0;
  for (int j = 0; j < height; ++j) {
    const uint8_t* row = row_from_top(src, sy + j);
    for (int i = 0; i < width; ++i) {
      const uint32_t rgb = read_pixel(src, row, sx + i);
      if (rgb != last_rgb) {
        last_rgb = rgb;
        last_pixel = pixel_for(*rec, rgb);
      }
      XPutPixel(image, i, j, last_pixel);
    }
  }
  GC gc = XCreateGC(dpy, rec->xwin, 0, nullptr);
  XPutImage(dpy, rec->xwin, gc, image, 0, 0, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFreeGC(dpy, gc);
  XDestroyImage(image);
  XFlush(dpy);
  return x11::trap_end() == 0;
}

}  // namespace

bool is_memory_dc(HDC h) { return surface(h) != nullptr; }

HBITMAP stock_bitmap() { return make_handle(ObjectKind::bitmap, STOCK_BITMAP_INDEX); }

const DibImage* surface_image(HDC h) {
  const SurfaceRecord* rec = surface(h);
  if (!rec) return nullptr;
  if (!rec->bitmap) return &g_stock_image;
  // A bitmap deleted while selected leaves the surface with nothing to draw.
  return bitmap_image(rec->bitmap);
}

size_t live_surfaces() { return g_live_surfaces; }

int surface_get_stock_object(HGDIOBJ obj, int size, void* out) {
  if (obj != stock_bitmap()) return 0;
  if (!out) return static_cast<int>(sizeof(BITMAP));
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP bm{};
  bm.bmWidth = 1;
  bm.bmHeight = 1;
  bm.bmWidthBytes = 4;
  bm.bmPlanes = 1;
  bm.bmBitsPixel = 1;
  bm.bmBits = nullptr;  // stock pixels are not for writing
  std::memcpy(out, &bm, sizeof bm);
  return static_cast<int>(sizeof bm);
}

}  // namespace internal

using namespace internal;

HDC create_compatible_dc(HDC reference) {
  // Every surface is device-independent here, so any reference (or none) serves.
  (void)reference;
  if (g_surfaces.size() >= 0xFFFFFEu - MEMORY_DC_BASE) return 0;
  g_surfaces.push_back({true, 0});
  ++g_live_surfaces;
  return make_handle(ObjectKind::dc, MEMORY_DC_BASE + static_cast<uint32_t>(g_surfaces.size() - 1));
}

bool delete_dc(HDC h) {
  SurfaceRecord* rec = surface(h);
  if (!rec) return false;
  rec->alive = false;
  rec->bitmap = 0;
  forget_dc_palette(h);
  --g_live_surfaces;
  return true;
}

HGDIOBJ select_object(HDC h, HGDIOBJ obj) {
  SurfaceRecord* rec = surface(h);
  if (!rec) return 0;
  HBITMAP wanted;
  if (obj == stock_bitmap()) {
    wanted = 0;
  } else {
    if (!bitmap_image(obj)) return 0;
    // A bitmap is drawn into through one surface at a time.
    for (const SurfaceRecord& other : g_surfaces)
      if (other.alive && other.bitmap == obj && &other != rec) return 0;
    wanted = obj;
  }
  const HBITMAP previous = rec->bitmap ? rec->bitmap : stock_bitmap();
  rec->bitmap = wanted;
  return previous;
}

HGDIOBJ get_current_object(HDC h, UINT type) {
  if (type == OBJ_PAL) return (surface(h) || dc(h)) ? selected_palette(h) : 0;
  if (type != OBJ_BITMAP) return 0;
  const SurfaceRecord* rec = surface(h);
  if (!rec) return 0;
  return rec->bitmap ? rec->bitmap : stock_bitmap();
}

HBITMAP create_dib_section(HDC h, const BITMAPINFO* info, UINT usage, void** bits, void* section, uint32_t offset) {
  (void)h;
  (void)offset;
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return 0;
  const BITMAPINFOHEADER& hdr = info->bmiHeader;
  if (hdr.biSize < sizeof(BITMAPINFOHEADER) || hdr.biWidth <= 0 || hdr.biHeight == 0 ||
      hdr.biHeight == INT32_MIN || hdr.biPlanes != 1 || hdr.biCompression != BI_RGB)
    return 0;
  const uint16_t depth = hdr.biBitCount;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return 0;
  const uint64_t w = static_cast<uint64_t>(hdr.biWidth);
  const uint64_t rows = static_cast<uint64_t>(hdr.biHeight < 0 ? -int64_t{hdr.biHeight} : hdr.biHeight);
  if (w * rows > MAX_IMAGE_PIXELS) return 0;
  DibImage image{};
  if (depth <= 8) {
    const uint32_t most = 1u << depth;
    const uint32_t n = hdr.biClrUsed ? hdr.biClrUsed : most;
    if (n > most) return 0;
    // The table follows the header, which may be longer than 40 bytes.
    const uint8_t* table = reinterpret_cast<const uint8_t*>(info) + hdr.biSize;
    for (uint32_t i = 0; i < n; ++i) {
      RGBQUAD q;
      std::memcpy(&q, table + 4 * i, 4);
      image.colors[i] = uint32_t{q.rgbRed} << 16 | uint32_t{q.rgbGreen} << 8 | q.rgbBlue;
    }
    image.color_count = n;
  } else if (depth == 16) {
    image.masks[0] = 0x7C00;
    image.masks[1] = 0x03E0;
    image.masks[2] = 0x001F;
  } else if (depth == 32) {
    image.masks[0] = 0x00FF0000;
    image.masks[1] = 0x0000FF00;
    image.masks[2] = 0x000000FF;
  }
  const uint64_t stride = (w * depth + 31) / 32 * 4;
  image.pixels = static_cast<uint8_t*>(std::calloc(stride * rows, 1));
  if (!image.pixels) return 0;
  image.width = static_cast<int32_t>(w);
  image.height = static_cast<int32_t>(rows);
  image.top_down = hdr.biHeight < 0;
  image.bits = depth;
  image.stride = static_cast<uint32_t>(stride);
  const HBITMAP bm = add_bitmap(image);
  if (!bm) {
    free_dib(&image);
    return 0;
  }
  if (bits) *bits = bitmap_image(bm)->pixels;
  return bm;
}

bool bit_blt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, uint32_t rop) {
  if (rop != SRCCOPY || width < 0 || height < 0) return false;
  const DibImage* from = surface_image(src);
  if (!from) return false;
  if (!is_memory_dc(dst)) {
    const HWND wnd = window_from_dc(dst);
    if (!wnd) return false;
    return blit_to_window(wnd, x, y, width, height, *from, src_x, src_y);
  }
  const SurfaceRecord* to_rec = surface(dst);
  if (!to_rec->bitmap) return true;  // the stock bitmap takes no drawing
  DibImage* to = bitmap_image(to_rec->bitmap);
  if (!to) return false;
  if (!clip_copy(&x, &y, &width, &height, &src_x, &src_y, from->width, from->height, to->width, to->height))
    return true;
  if (from == to) {
    // Overlapping copy within one bitmap: go through a copy of the source.
    DibImage copy = *from;
    const size_t bytes = size_t{from->stride} * from->height;
    copy.pixels = static_cast<uint8_t*>(std::malloc(bytes));
    if (!copy.pixels) return false;
    std::memcpy(copy.pixels, from->pixels, bytes);
    for (int j = 0; j < height; ++j) {
      const uint8_t* s = row_from_top(copy, src_y + j);
      uint8_t* d = row_from_top(*to, y + j);
      for (int i = 0; i < width; ++i) write_pixel(*to, d, x + i, read_pixel(copy, s, src_x + i));
    }
    std::free(copy.pixels);
    return true;
  }
  for (int j = 0; j < height; ++j) {
    const uint8_t* s = row_from_top(*from, src_y + j);
    uint8_t* d = row_from_top(*to, y + j);
    for (int i = 0; i < width; ++i) write_pixel(*to, d, x + i, read_pixel(*from, s, src_x + i));
  }
  return true;
}

UINT get_dib_color_table(HDC h, UINT start, UINT count, RGBQUAD* out) {
  const DibImage* im = surface_image(h);
  if (!im || !out || im->bits > 8 || start >= im->color_count) return 0;
  const UINT n = std::min(count, im->color_count - start);
  for (UINT i = 0; i < n; ++i) {
    const uint32_t c = im->colors[start + i];
    out[i].rgbRed = static_cast<uint8_t>(c >> 16);
    out[i].rgbGreen = static_cast<uint8_t>(c >> 8);
    out[i].rgbBlue = static_cast<uint8_t>(c);
    out[i].rgbReserved = 0;
  }
  return n;
}

}  // namespace tvxp
