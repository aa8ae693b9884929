// Memory drawing surfaces, device-independent sections, palettes, block
// copies, regions, window shapes and movable memory blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include <tvxp/bitmap.h>
#include <tvxp/types.h>

namespace tvxp {

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;  // positive: rows bottom-up
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
struct RGBQUAD {
  uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
struct PALETTEENTRY {
  uint8_t peRed, peGreen, peBlue, peFlags;
};
struct LOGPALETTE {
  uint16_t palVersion;
  uint16_t palNumEntries;
  PALETTEENTRY palPalEntry[1];
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGNDATAHEADER {
  uint32_t dwSize;
  uint32_t iType;
  uint32_t nCount;
  uint32_t nRgnSize;
  RECT rcBound;
};
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];  // nCount RECTs follow the header
};
static_assert(sizeof(RGNDATAHEADER) == 32);

inline constexpr uint32_t BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t RDH_RECTANGLES = 1;
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;

using HGLOBAL = Handle;

// A drawing surface in memory, compatible with `reference` (0: the screen).
// It starts with a 1 x 1 monochrome bitmap selected.
HDC create_compatible_dc(HDC reference);
bool delete_dc(HDC dc);
// Selects a bitmap (or a region as the clip) into a surface; the previous
// object of that kind, or 0.
HGDIOBJ select_object(HDC dc, HGDIOBJ obj);
// A 32-bit (or other depth) device-independent section; *bits receives its pixels.
HBITMAP create_dib_section(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, uint32_t offset);
// Copies a block from one surface to another, or to a window's surface.
bool bit_blt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, uint32_t rop);
UINT get_dib_color_table(HDC dc, UINT start, UINT count, RGBQUAD* out);

HPALETTE create_halftone_palette(HDC dc);
HPALETTE create_palette(const LOGPALETTE* palette);
UINT get_palette_entries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out);
HPALETTE select_palette(HDC dc, HPALETTE palette, bool force_background);
UINT realize_palette(HDC dc);

// Regions. Coordinates are 32-bit; see the implementation for the range.
HRGN ext_create_region(const void* transform, uint32_t size, const RGNDATA* data);
HRGN create_rect_rgn(int left, int top, int right, int bottom);
int combine_rgn(HRGN dst, HRGN a, HRGN b, int mode);
bool pt_in_region(HRGN rgn, int x, int y);
// Writes the region's rectangles (banded, y then x) when `data` is given and
// large enough; returns the size needed.
uint32_t get_region_data(HRGN rgn, uint32_t size, RGNDATA* data);
// Gives a window its shape, for drawing and for input; the window owns the
// region from then on (0 takes the shape away).
int set_window_rgn(HWND wnd, HRGN rgn, bool redraw);

// Movable memory blocks.
HGLOBAL global_alloc(UINT flags, size_t bytes);
HGLOBAL global_realloc(HGLOBAL block, size_t bytes, UINT flags);
void* global_lock(HGLOBAL block);
bool global_unlock(HGLOBAL block);
HGLOBAL global_free(HGLOBAL block);

// The parent's frame around a top-level window's client area: left, top,
// right and bottom thickness (all 0 without a window manager).
bool get_frame_extents(HWND wnd, RECT* out);

}  // namespace tvxp
