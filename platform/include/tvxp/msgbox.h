// Modal message boxes.
#pragma once

#include <tvxp/types.h>

namespace tvxp {

// When set, every message box is handed to the hook instead of being shown:
// it sees the text and caption (as given, Windows-1252) and the style, and its
// result is the box's answer. Tests set it so that no box ever waits.
using MessageBoxHook = int (*)(const char* text, const char* caption, UINT style);
extern MessageBoxHook message_box_hook;

// Shows a modal box and returns the button pressed (IDOK, IDYES, IDNO). When no
// box can be shown (no display) it returns 0 and writes the caption and text,
// in UTF-8, to standard error.
int message_box(HWND owner, const char* text, const char* caption, UINT style);

}  // namespace tvxp
