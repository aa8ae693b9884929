// Image hover buttons: child windows of the class SZHOVERCLASS drawn from
// three BMP files (normal, hover, pressed) and shaped by the normal image's
// non-magenta pixels. A click posts WM_COMMAND (wParam = the child id, lParam
// 0) to the parent. The window procedure is HOVERBUTTONHANDLER (window.h).
//
// Use: set BMPTYPE to the images' path and stem, then
//   tvxp::create_window(SZHOVERCLASS, "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, id);
// The button reads BMPTYPE + "N.BMP", BMPTYPE + "H.BMP" and BMPTYPE + "P.BMP"
// while it is created, and takes the normal image's size.
#pragma once

#include <cstdint>
#include <string>

#include <tarvex/window.h>

namespace Tarvex {

// Path and stem of the images of the next button created; read only while a
// button handles its creation message.
extern std::string BMPTYPE;

inline constexpr const char SZHOVERCLASS[] = "IMAGEBUTTON";

// The button's window properties.
inline constexpr const char NORMALBMP[] = "NORMALBITMAP";        // surface of the normal image
inline constexpr const char HOVERBMP[] = "HOVERBITMAP";          // surface of the hover image
inline constexpr const char PRESSBMP[] = "PRESSBITMAP";          // surface of the pressed image
inline constexpr const char HOVERMODE[] = "HOVERMODEBYTE";       // 1 normal, 2 hover, 3 pressed
inline constexpr const char BUTTONRGN[] = "HOVERBUTTONREGION";  // hit-test copy of the shape

// Values of the HOVERMODE property.
inline constexpr uintptr_t HOVER_NORMAL = 1;
inline constexpr uintptr_t HOVER_HOVER = 2;
inline constexpr uintptr_t HOVER_PRESSED = 3;

// Magenta, with a tolerance of 1 on each channel, is transparent.
inline constexpr uint32_t HOVER_TRANSCOLOR = 0xFF00FF;
inline constexpr uint8_t HOVER_TOLERANCE = 1;

}  // namespace Tarvex
