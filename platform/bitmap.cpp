// Bitmaps from BMP files: the decoded image kept as it is, so that callers can
// read and change its pixels in place.
#include <tvxp/bitmap.h>

#include <cstring>
#include <deque>

#include "bitmap_internal.h"
#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

struct BitmapRecord {
  bool alive = false;
  DibImage image{};
};

// Indices are never reused, so a released handle stays invalid.
std::deque<BitmapRecord> g_bitmaps;
size_t g_live = 0;

// The window colour that a transparent palette entry takes.
constexpr uint32_t WINDOW_COLOUR = 0xFFFFFF;

BitmapRecord* record(HGDIOBJ h) {
  if (kind_of(h) != ObjectKind::bitmap) return nullptr;
  const uint32_t i = index_of(h);
  if (i >= g_bitmaps.size() || !g_bitmaps[i].alive) return nullptr;
  return &g_bitmaps[i];
}

// The palette index of the first stored pixel of a 1-, 4- or 8-bit image.
uint32_t first_index(const DibImage& image) {
  const uint8_t b = image.pixels[0];
  switch (image.bits) {
    case 1:
      return b >> 7;
    case 4:
      return b >> 4;
    default:
      return b;
  }
}

}  // namespace

BitmapDeleteHook bitmap_delete_hook = nullptr;

DibImage* bitmap_image(HBITMAP h) {
  BitmapRecord* rec = record(h);
  return rec ? &rec->image : nullptr;
}

HBITMAP add_bitmap(const DibImage& image) {
  if (g_bitmaps.size() >= 0xFFFFFEu) return 0;  // the handle's index field is full
  g_bitmaps.push_back({true, image});
  ++g_live;
  return make_handle(ObjectKind::bitmap, static_cast<uint32_t>(g_bitmaps.size() - 1));
}

size_t live_bitmaps() { return g_live; }

}  // namespace internal

using namespace internal;

HBITMAP load_image(const char* name, UINT type, int cx, int cy, UINT flags) {
  if (!name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE)) return 0;
  DibImage image{};
  if (!read_bmp_file(name, &image, nullptr)) return 0;
  if ((cx != 0 && cx != image.width) || (cy != 0 && cy != image.height)) {
    free_dib(&image);
    return 0;
  }
  if ((flags & LR_LOADTRANSPARENT) && image.bits <= 8) {
    const uint32_t i = first_index(image);
    if (i < image.color_count) image.colors[i] = WINDOW_COLOUR;
  }
  HBITMAP h = add_bitmap(image);
  if (!h) free_dib(&image);
  return h;
}

int get_object(HGDIOBJ obj, int size, void* out) {
  const DibImage* image = bitmap_image(obj);
  if (!image) return gdi_get_object(obj, size, out);
  if (!out) return static_cast<int>(sizeof(BITMAP));
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP bm{};
  bm.bmType = 0;
  bm.bmWidth = image->width;
  bm.bmHeight = image->height;
  bm.bmWidthBytes = static_cast<int32_t>(image->stride);
  bm.bmPlanes = 1;
  bm.bmBitsPixel = image->bits;
  bm.bmBits = image->pixels;
  std::memcpy(out, &bm, sizeof bm);
  return static_cast<int>(sizeof bm);
}

bool delete_object(HGDIOBJ obj) {
  BitmapRecord* rec = record(obj);
  if (!rec) return gdi_delete_object(obj);
  if (bitmap_delete_hook) bitmap_delete_hook(obj, rec->image);
  free_dib(&rec->image);
  rec->alive = false;
  --g_live;
  return true;
}

}  // namespace tvxp
