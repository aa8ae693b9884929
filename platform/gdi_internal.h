// Memory surfaces, palettes, regions and movable blocks, as the rest of the
// layer (and the tests) see them. Free of X headers.
#pragma once

#include <cstddef>
#include <vector>

#include <tvxp/bmp.h>
#include <tvxp/gdi.h>

namespace tvxp::internal {

// Memory surfaces take their handles from the top half of the device-context
// index range, so they never meet the device contexts of windows.
inline constexpr uint32_t MEMORY_DC_BASE = 0x800000u;

bool is_memory_dc(HDC h);
// The image a memory surface draws into and copies from (the stock 1 x 1
// monochrome bitmap when nothing else is selected), or nullptr.
const DibImage* surface_image(HDC h);
// The bitmap that every memory surface starts with; it cannot be deleted.
HBITMAP stock_bitmap();
// The default palette that every surface starts with; it cannot be deleted.
HPALETTE stock_palette();

// get_object and delete_object for the stock bitmap, palettes and regions
// (bitmap.cpp handles loaded bitmaps and sections); 0 / false for anything
// else.
int gdi_get_object(HGDIOBJ obj, int size, void* out);
bool gdi_delete_object(HGDIOBJ obj);
int surface_get_stock_object(HGDIOBJ obj, int size, void* out);
int palette_get_object(HPALETTE h, int size, void* out);
bool palette_delete(HPALETTE h);
bool region_delete(HRGN h);

// The palette selected into a surface (the stock palette when none was).
HPALETTE selected_palette(HDC h);
void forget_dc_palette(HDC h);

// Region handles: live, and whether a window has taken them over.
bool region_alive(HRGN h);
void set_region_owned(HRGN h, bool owned);
bool region_owned(HRGN h);
// The region's rectangles, banded, y then x, right and bottom exclusive.
bool region_rects(HRGN h, std::vector<RECT>* out);

// A window's shape is released with the window, and put on again when its X
// window is re-created.
void forget_window_shape(HWND wnd);
void reapply_window_shape(HWND wnd);

// Objects not yet released, for leak checks.
size_t live_surfaces();
size_t live_palettes();
size_t live_regions();
size_t live_global_blocks();

}  // namespace tvxp::internal
