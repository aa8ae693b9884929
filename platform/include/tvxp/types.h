// Basic types and message constants of the window-system layer.
//
// Handles are the layer's own small values, 0 for none. Message parameters and
// results are pointer-sized so that an address fits in an lParam; mouse
// positions travel as the two 16-bit halves of the low 32 bits of lParam.
#pragma once

#include <cstdint>

namespace tvxp {

using Handle = uint32_t;
using HWND = Handle;
using HDC = Handle;
using HGLRC = Handle;
using HCURSOR = Handle;
using HICON = Handle;
using HBRUSH = Handle;
using HGDIOBJ = Handle;
using HBITMAP = Handle;
using HPALETTE = Handle;
using HRGN = Handle;

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
  int32_t X;
  int32_t Y;
};

struct RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  uint32_t time;
  POINT pt;
  uint32_t text;  // the character a key message produces (0 for none); read by translate_message
};

inline constexpr uint16_t lo_word(LPARAM l) { return static_cast<uint16_t>(static_cast<uint64_t>(l) & 0xFFFFu); }
inline constexpr uint16_t hi_word(LPARAM l) { return static_cast<uint16_t>((static_cast<uint64_t>(l) >> 16) & 0xFFFFu); }
inline constexpr LPARAM make_lparam(int lo, int hi) {
  return static_cast<LPARAM>((static_cast<uint32_t>(hi & 0xFFFF) << 16) | static_cast<uint32_t>(lo & 0xFFFF));
}

// Messages.
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_USER = 0x0400;

// System commands.
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_KEYMENU = 0xF100;
inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Mouse-message wParam bits.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;

// Peek options.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// Window styles.
inline constexpr uint32_t WS_OVERLAPPED = 0x00000000u;
inline constexpr uint32_t WS_POPUP = 0x80000000u;
inline constexpr uint32_t WS_CHILD = 0x40000000u;
inline constexpr uint32_t WS_MINIMIZE = 0x20000000u;
inline constexpr uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr uint32_t WS_DISABLED = 0x08000000u;
inline constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000u;
inline constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
inline constexpr uint32_t WS_MAXIMIZE = 0x01000000u;
inline constexpr uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr uint32_t WS_BORDER = 0x00800000u;
inline constexpr uint32_t WS_DLGFRAME = 0x00400000u;
inline constexpr uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000u;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000u;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000u;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Class styles.
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;

// Show commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWDEFAULT = 10;

// System metrics.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

// Message boxes.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Virtual-key codes that the layer and its users name.
inline constexpr WPARAM VK_BACK = 8;
inline constexpr WPARAM VK_TAB = 9;
inline constexpr WPARAM VK_RETURN = 13;
inline constexpr WPARAM VK_SHIFT = 16;
inline constexpr WPARAM VK_CONTROL = 17;
inline constexpr WPARAM VK_MENU = 18;
inline constexpr WPARAM VK_ESCAPE = 27;
inline constexpr WPARAM VK_SPACE = 32;
inline constexpr WPARAM VK_APPS = 93;
inline constexpr WPARAM VK_F4 = 115;
inline constexpr WPARAM VK_F10 = 121;

}  // namespace tvxp
