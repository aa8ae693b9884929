// System cursors by id, as X cursor-font shapes. Needs no display.
#pragma once

namespace tvxp::x11 {

// The cursor-font shape (an XC_ value) closest to the system cursor `id`
// (32512 arrow, 32513 I-beam, ...); -1 for an id that names no cursor.
int cursor_font_shape(int id);

}  // namespace tvxp::x11
