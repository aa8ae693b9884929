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
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT OBJ_PAL = 5;
inline constexpr UINT OBJ_BITMAP = 7;

using HGLOBAL = Handle;

// A drawing surface in memory, compatible with `reference` (0: the screen).
// It starts with a 1 x 1 monochrome bitmap and the default palette selected.
HDC create_compatible_dc(HDC reference);
// Releases a memory surface; the objects selected into it are not deleted.
// False for a window's device context.
bool delete_dc(HDC dc);
// Selects a bitmap into a memory surface and returns the previous one, or 0
// (a window's surface, a bitmap already selected into another surface,
// anything that is not a bitmap).
HGDIOBJ select_object(HDC dc, HGDIOBJ obj);
// The bitmap (OBJ_BITMAP) or palette (OBJ_PAL) selected into a surface, or 0.
HGDIOBJ get_current_object(HDC dc, UINT type);
// A device-independent section of 1, 4, 8, 16, 24 or 32 bits (BI_RGB,
// DIB_RGB_COLORS, no file mapping); *bits receives its pixels, zeroed. It is
// a bitmap: get_object and delete_object take it.
HBITMAP create_dib_section(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, uint32_t offset);
// Copies a block (SRCCOPY only) from a memory surface to another, converting
// pixels to the destination's depth, or to a window's surface. Both
// rectangles are clipped to their surfaces.
bool bit_blt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, uint32_t rop);
// The colour table of the bitmap selected into a memory surface, from
// `start`; entries beyond the table are not returned. The number written.
UINT get_dib_color_table(HDC dc, UINT start, UINT count, RGBQUAD* out);

HPALETTE create_halftone_palette(HDC dc);
HPALETTE create_palette(const LOGPALETTE* palette);
// With `out` null: the number of entries. Else the number written.
UINT get_palette_entries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out);
// The previous palette (the stock default palette at first), or 0.
HPALETTE select_palette(HDC dc, HPALETTE palette, bool force_background);
// The number of entries of the selected palette. On a true-colour display
// there is no system palette to map them into, so nothing visible happens.
UINT realize_palette(HDC dc);

// Regions. Coordinates are clamped to -2^30..2^30 so that no width or
// height overflows 32 bits. ext_create_region takes no transformation (a
// non-null one is refused) and reads nCount rectangles after the header, which
// `size` must hold; empty rectangles are skipped. delete_object releases a
// region, except one that a window has taken over.
HRGN ext_create_region(const void* transform, uint32_t size, const RGNDATA* data);
HRGN create_rect_rgn(int left, int top, int right, int bottom);
int combine_rgn(HRGN dst, HRGN a, HRGN b, int mode);
bool pt_in_region(HRGN rgn, int x, int y);
// With `data` null: the size needed. Else writes the region's rectangles
// (banded, y then x) and returns the size needed, or 0 when `size` is short.
uint32_t get_region_data(HRGN rgn, uint32_t size, RGNDATA* data);
// Gives a window its shape, for drawing and for input, in the coordinates of
// its client area; the window owns the region from then on and releases the
// one it had (0 takes the shape away). The X shape takes 16-bit
// coordinates, so the shape is clipped to -32767..32767. 1, or 0 on failure
// (the caller then keeps the region).
int set_window_rgn(HWND wnd, HRGN rgn, bool redraw);

// Movable memory blocks. A locked block only moves in global_realloc with
// GMEM_MOVEABLE; global_realloc returns the block, or 0 (the block kept as it
// was). global_unlock is true while the block stays locked; global_free gives
// 0, or the block back when it could not be freed.
HGLOBAL global_alloc(UINT flags, size_t bytes);
HGLOBAL global_realloc(HGLOBAL block, size_t bytes, UINT flags);
void* global_lock(HGLOBAL block);
bool global_unlock(HGLOBAL block);
HGLOBAL global_free(HGLOBAL block);

// The parent's frame around a top-level window's client area: left, top,
// right and bottom thickness (all 0 without a window manager).
bool get_frame_extents(HWND wnd, RECT* out);

}  // namespace tvxp
