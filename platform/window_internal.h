// Window records and object tables shared inside the layer.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <tvxp/types.h>

#include "x11_common.h"

namespace tvxp::internal {

struct WindowRecord {
  bool alive = false;
  bool destroying = false;
  Window xwin = 0;
  HWND parent = 0;
  WNDPROC proc = nullptr;
  UINT class_style = 0;
  HCURSOR cursor = 0;
  HBRUSH background = 0;
  std::string class_name;
  std::string title;  // as given (Windows-1252)
  uint32_t style = 0;
  int child_id = 0;
  int x = 0, y = 0;            // child: in the parent's client area; top-level: client origin on screen
  int width = 0, height = 0;  // client size
  bool mapped = false;
  bool needs_paint = false;
  bool fullscreen = false;
  bool override_redirect = false;
  bool wants_focus = false;  // shown, but not yet viewable when it asked for the focus
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0;
  HDC dc = 0;
  int pixel_format = 0;
  std::vector<std::pair<std::string, uintptr_t>> props;
};

// The record of a live window, or nullptr.
WindowRecord* window(HWND wnd);
// The window behind an X window, or 0.
HWND window_from_x(Window xwin);
// Every handle ever given out is below this bound.
HWND window_handle_end();

// The visual that top-level windows are made with, so that a GL context can
// be made on them without recreating the window.
bool default_gl_visual(Visual** visual, int* depth);
// Re-creates the X window of `wnd` with another visual (a window's visual is
// fixed at creation), keeping its handle, geometry, properties and children.
bool recreate_with_visual(HWND wnd, Visual* visual, int depth);

// Object handles carry their kind in the top byte.
enum class ObjectKind : uint32_t { none = 0, brush = 1, bitmap = 2, palette = 3, region = 4, dc = 5, cursor = 6, glrc = 7, global = 8 };
inline ObjectKind kind_of(Handle h) { return static_cast<ObjectKind>(h >> 24); }
inline Handle make_handle(ObjectKind kind, uint32_t index) { return (static_cast<uint32_t>(kind) << 24) | (index + 1); }
inline uint32_t index_of(Handle h) { return (h & 0xFFFFFFu) - 1; }

struct BrushRecord {
  bool null_brush;
  uint32_t rgb;  // 0x00RRGGBB
};
const BrushRecord* brush(HBRUSH h);

struct CursorRecord {
  Cursor xcursor = 0;
  int width = 0, height = 0;
  std::vector<unsigned long> net_wm_icon;  // width, height, then ARGB pixels, as _NET_WM_ICON wants
};
const CursorRecord* cursor(HCURSOR h);
HCURSOR add_cursor(CursorRecord rec);

struct DcRecord {
  bool alive = false;
  HWND wnd = 0;
};
DcRecord* dc(HDC h);
HDC new_window_dc(HWND wnd);

// Queue entry points used by window creation and destruction.
void forget_window_messages(HWND wnd);
void note_capture_lost(HWND wnd);

// Pixel value of an 0x00RRGGBB colour on a window's colormap.
unsigned long pixel_for(const WindowRecord& rec, uint32_t rgb);

// The layer's own window classes (the status bar) are registered on demand.
void ensure_builtin_classes();

}  // namespace tvxp::internal
