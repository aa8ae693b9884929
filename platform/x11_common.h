// Shared X state of the layer. Internal: only platform/ sees X headers.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

namespace tvxp::x11 {

// The display, opened on first use; nullptr when none can be opened.
Display* display();
int screen();
Window root();
Atom atom(const char* name);

// X errors inside a trap are recorded instead of reported; trap_end syncs
// and returns the first error code seen (0 for none). Traps nest.
void trap_begin();
int trap_end();

// Text stored in Windows-1252, as UTF-8 for drawing and for terminals.
std::string cp1252_to_utf8(const char* text);

// Is a window manager running (a _NET_SUPPORTING_WM_CHECK window exists)?
bool window_manager_present();

}  // namespace tvxp::x11
