// Input for the soak runs that the shared driver does not offer: a burst of
// pointer moves sent in one go, and moving a top-level window.
#pragma once

namespace tvx_soak {

// Sends `count` pointer moves to screen points inside the rectangle, each one
// different from the one before, flushing only once at the end, so that they
// reach the program as one backlog.
void motion_burst(int x, int y, int width, int height, int count);
// Moves a top-level window so that its client area starts at screen (x, y).
void move_window(unsigned long window, int x, int y);

}  // namespace tvx_soak
