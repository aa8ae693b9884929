// get_object and delete_object for the drawing objects that are not loaded
// bitmaps: the stock bitmap, palettes and regions.
#include "gdi_internal.h"
#include "window_internal.h"

namespace tvxp::internal {

int gdi_get_object(HGDIOBJ obj, int size, void* out) {
  switch (kind_of(obj)) {
    case ObjectKind::bitmap:
      return surface_get_stock_object(obj, size, out);
    case ObjectKind::palette:
      return palette_get_object(obj, size, out);
    default:
      return 0;  // regions tell nothing through get_object
  }
}

bool gdi_delete_object(HGDIOBJ obj) {
  switch (kind_of(obj)) {
    case ObjectKind::palette:
      return palette_delete(obj);
    case ObjectKind::region:
      return region_delete(obj);
    default:
      return false;  // stock objects stay
  }
}

}  // namespace tvxp::internal
