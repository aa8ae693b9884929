// Regions as pixman's 32-bit regions: unions, intersections and point tests
// come from a well-kept implementation rather than region algebra of our own.
// Coordinates are clamped to -2^30..2^30, where every extent and every sum of
// two coordinates still fits the 32 bits pixman computes in.
#include <tvxp/gdi.h>

#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp {
namespace internal {
namespace {

constexpr int32_t COORD_LIMIT = 1 << 30;

struct RegionRecord {
  bool alive = false;
  bool owned_by_window = false;
  pixman_region32_t region;
};

std::deque<RegionRecord> g_regions;
size_t g_live_regions = 0;

RegionRecord* record(HRGN h) {
  if (kind_of(h) != ObjectKind::region) return nullptr;
  const uint32_t i = index_of(h);
  if (i >= g_regions.size() || !g_regions[i].alive) return nullptr;
  return &g_regions[i];
}

int32_t clamp(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -COORD_LIMIT, COORD_LIMIT)); }

// A region made from boxes that may overlap and come in any order.
HRGN add_region(const pixman_box32_t* boxes, int count) {
  if (g_regions.size() >= 0xFFFFFEu) return 0;
  g_regions.emplace_back();
  RegionRecord& rec = g_regions.back();
  bool ok = count > 0 ? pixman_region32_init_rects(&rec.region, boxes, count) != 0
                      : (pixman_region32_init(&rec.region), true);
  if (!ok) {
    pixman_region32_fini(&rec.region);
    g_regions.pop_back();
    return 0;
  }
  rec.alive = true;
  ++g_live_regions;
  return make_handle(ObjectKind::region, static_cast<uint32_t>(g_regions.size() - 1));
}

int region_type(const pixman_region32_t* r) {
  const int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(r));
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

bool region_alive(HRGN h) { return record(h) != nullptr; }

void set_region_owned(HRGN h, bool owned) {
  if (RegionRecord* rec = record(h)) rec->owned_by_window = owned;
}

bool region_owned(HRGN h) {
  const RegionRecord* rec = record(h);
  return rec && rec->owned_by_window;
}

bool region_rects(HRGN h, std::vector<RECT>* out) {
  RegionRecord* rec = record(h);
  if (!rec) return false;
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&rec->region, &n);
  out->clear();
  for (int i = 0; i < n; ++i) out->push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
  return true;
}

bool region_delete(HRGN h) {
  RegionRecord* rec = record(h);
  // The window that took a region over releases it itself.
  if (!rec || rec->owned_by_window) return false;
  pixman_region32_fini(&rec->region);
  rec->alive = false;
  --g_live_regions;
  return true;
}

size_t live_regions() { return g_live_regions; }

}  // namespace internal

using namespace internal;

HRGN ext_create_region(const void* transform, uint32_t size, const RGNDATA* data) {
  if (transform || !data || size < sizeof(RGNDATAHEADER)) return 0;
  RGNDATAHEADER hdr;
  std::memcpy(&hdr, data, sizeof hdr);
  if (hdr.dwSize != sizeof(RGNDATAHEADER) || hdr.iType != RDH_RECTANGLES) return 0;
  if (uint64_t{sizeof(RGNDATAHEADER)} + uint64_t{hdr.nCount} * sizeof(RECT) > size) return 0;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(data) + sizeof(RGNDATAHEADER);
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(hdr.nCount);
  for (uint32_t i = 0; i < hdr.nCount; ++i) {
    RECT r;
    std::memcpy(&r, p + size_t{i} * sizeof(RECT), sizeof r);
    const int32_t x1 = clamp(r.left), y1 = clamp(r.top), x2 = clamp(r.right), y2 = clamp(r.bottom);
    if (x1 >= x2 || y1 >= y2) continue;
    boxes.push_back({x1, y1, x2, y2});
  }
  return add_region(boxes.data(), static_cast<int>(boxes.size()));
}

HRGN create_rect_rgn(int left, int top, int right, int bottom) {
  int32_t x1 = clamp(left), y1 = clamp(top), x2 = clamp(right), y2 = clamp(bottom);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return add_region(nullptr, 0);
  const pixman_box32_t box = {x1, y1, x2, y2};
  return add_region(&box, 1);
}

int combine_rgn(HRGN dst, HRGN a, HRGN b, int mode) {
  RegionRecord* d = record(dst);
  RegionRecord* ra = record(a);
  RegionRecord* rb = mode == RGN_COPY ? ra : record(b);
  if (!d || !ra || !rb) return RGN_ERROR;
  pixman_region32_t result;
  pixman_region32_init(&result);
  bool ok = true;
  switch (mode) {
    case RGN_AND:
      ok = pixman_region32_intersect(&result, &ra->region, &rb->region);
      break;
    case RGN_OR:
      ok = pixman_region32_union(&result, &ra->region, &rb->region);
      break;
    case RGN_DIFF:
      ok = pixman_region32_subtract(&result, &ra->region, &rb->region);
      break;
    case RGN_XOR: {
      pixman_region32_t ab, ba;
      pixman_region32_init(&ab);
      pixman_region32_init(&ba);
      ok = pixman_region32_subtract(&ab, &ra->region, &rb->region) &&
           pixman_region32_subtract(&ba, &rb->region, &ra->region) && pixman_region32_union(&result, &ab, &ba);
      pixman_region32_fini(&ab);
      pixman_region32_fini(&ba);
      break;
    }
    case RGN_COPY:
      ok = pixman_region32_copy(&result, &ra->region);
      break;
    default:
      ok = false;
  }
  if (!ok) {
    pixman_region32_fini(&result);
    return RGN_ERROR;
  }
  // The result went to a region of its own, so dst may be a or b.
  pixman_region32_fini(&d->region);
  d->region = result;
  return region_type(&d->region);
}

bool pt_in_region(HRGN rgn, int x, int y) {
  RegionRecord* rec = record(rgn);
  return rec && pixman_region32_contains_point(&rec->region, x, y, nullptr);
}

uint32_t get_region_data(HRGN rgn, uint32_t size, RGNDATA* data) {
  RegionRecord* rec = record(rgn);
  if (!rec) return 0;
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&rec->region, &n);
  const uint64_t needed = sizeof(RGNDATAHEADER) + uint64_t(n) * sizeof(RECT);
  if (needed > UINT32_MAX) return 0;
  if (!data) return static_cast<uint32_t>(needed);
  if (size < needed) return 0;
  RGNDATAHEADER hdr{};
  hdr.dwSize = sizeof(RGNDATAHEADER);
  hdr.iType = RDH_RECTANGLES;
  hdr.nCount = static_cast<uint32_t>(n);
  hdr.nRgnSize = static_cast<uint32_t>(n * sizeof(RECT));
  if (n > 0) {
    const pixman_box32_t* e = pixman_region32_extents(&rec->region);
    hdr.rcBound = {e->x1, e->y1, e->x2, e->y2};
  }
  std::memcpy(data, &hdr, sizeof hdr);
  uint8_t* p = reinterpret_cast<uint8_t*>(data) + sizeof hdr;
  for (int i = 0; i < n; ++i) {
    const RECT r = {boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
    std::memcpy(p + size_t(i) * sizeof r, &r, sizeof r);
  }
  return static_cast<uint32_t>(needed);
}

}  // namespace tvxp
