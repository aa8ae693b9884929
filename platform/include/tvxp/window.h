// Window classes, windows, the message queue and pointer input.
#pragma once

#include <tvxp/types.h>

namespace tvxp {

struct WNDCLASS {
  UINT style;
  WNDPROC proc;
  HICON icon;
  HCURSOR cursor;
  HBRUSH background;
  const char* name;
};

// The extended class record: the same class with its size, extra bytes,
// instance, menu name and small icon, as the toolkit keeps it.
struct WNDCLASSEX {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  uintptr_t hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const char* lpszMenuName;
  const char* lpszClassName;
  HICON hIconSm;
};

// Registers a class by name; 0 when the name is taken or the record is unusable.
uint16_t register_class(const WNDCLASS& cls);
uint16_t register_class_ex(const WNDCLASSEX& cls);
// Copies the registered class of that name into *out; false when there is none.
bool get_class_info(const char* name, WNDCLASS* out);
bool get_class_info_ex(const char* name, WNDCLASSEX* out);
bool unregister_class(const char* name);

// Creates a window of a registered class. A child (WS_CHILD) is placed in its
// parent's client coordinates; a top-level window at screen coordinates, with
// CW_USEDEFAULT meaning the screen origin. WM_CREATE is sent before it returns;
// a result of -1 from it fails the creation. 0 on failure.
HWND create_window(const char* class_name, const char* title, uint32_t style, int x, int y, int width,
                   int height, HWND parent, int child_id);
bool destroy_window(HWND wnd);
bool is_window(HWND wnd);
bool show_window(HWND wnd, int show_command);
bool update_window(HWND wnd);
bool move_window(HWND wnd, int x, int y, int width, int height, bool repaint);
bool set_window_text(HWND wnd, const char* text);
// Outer rectangle (frame included) in screen coordinates.
bool get_window_rect(HWND wnd, RECT* out);
// Client rectangle: origin 0, 0 and the client size.
bool get_client_rect(HWND wnd, RECT* out);
bool client_to_screen(HWND wnd, POINT* pt);
HWND get_parent(HWND wnd);
int get_dlg_ctrl_id(HWND wnd);
HWND get_foreground_window();
uint32_t get_window_style(HWND wnd);

// Named per-window values.
bool set_prop(HWND wnd, const char* name, uintptr_t value);
uintptr_t get_prop(HWND wnd, const char* name);
uintptr_t remove_prop(HWND wnd, const char* name);

// Painting.
bool invalidate_rect(HWND wnd, const RECT* rect, bool erase);
HDC begin_paint(HWND wnd);
bool end_paint(HWND wnd);

// The message queue of the calling thread.
bool peek_message(MSG* msg, HWND filter, UINT first, UINT last, UINT remove);
// Waits for a message; 0 for WM_QUIT, 1 otherwise.
int get_message(MSG* msg, HWND filter, UINT first, UINT last);
// Posts the character message of a key message that produces one.
bool translate_message(const MSG* msg);
LRESULT dispatch_message(const MSG* msg);
LRESULT send_message(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
bool post_message(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
void post_quit_message(int exit_code);
// Default processing: the close request destroys the window, a right-button
// release or the Menu key sends WM_CONTEXTMENU, Alt+F4 closes.
LRESULT def_window_proc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);

// Pointer.
HWND set_capture(HWND wnd);
bool release_capture();
HWND get_capture();
bool get_cursor_pos(POINT* pt);
bool set_cursor_pos(int x, int y);

int get_system_metrics(int index);
uint32_t get_tick_count();

// Cursors, icons and brushes. System ids are the platform's (32512 arrow ...).
HCURSOR load_system_cursor(int id);
HCURSOR load_cursor_from_file(const char* file_name);
HICON load_system_icon(int id);
// A brush of one of the system colours (15 is the 3-D face colour).
HBRUSH get_sys_color_brush(int index);
// Stock objects: 5 is the null brush (the window paints everything itself).
HGDIOBJ get_stock_object(int index);

// Status bar: a child window along the bottom of its parent.
HWND create_status_window(uint32_t style, const char* text, HWND parent, int id);
inline constexpr UINT SB_SETTEXTA = WM_USER + 1;
inline constexpr UINT SB_GETTEXTA = WM_USER + 2;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
inline constexpr UINT SB_GETPARTS = WM_USER + 6;

// The show command the program was started with.
int startup_show_command();

}  // namespace tvxp
