// The modal message box drawn with Xlib.
#pragma once

#include <string>

#include <tvxp/types.h>

namespace tvxp::x11 {

// Shows a modal box with the UTF-8 text and caption, the buttons (MB_OK or
// MB_YESNO) and the icon of `style`, and waits for the answer: IDOK, IDYES or
// IDNO; 0 when no box could be made.
int show_message_box(const std::string& text, const std::string& caption, UINT style);

}  // namespace tvxp::x11
