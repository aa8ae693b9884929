// System cursors by id, as X cursor-font shapes.
#include "cursor_shapes.h"

#include <X11/cursorfont.h>

namespace tvxp::x11 {

int cursor_font_shape(int id) {
  switch (id) {
    case 32512: return XC_left_ptr;              // arrow
    case 32513: return XC_xterm;                 // I-beam
    case 32514: return XC_watch;                 // wait
    case 32515: return XC_crosshair;             // cross
    case 32516: return XC_sb_up_arrow;           // up arrow
    case 32640: return XC_fleur;                 // size (the older four-way cursor)
    case 32642: return XC_bottom_right_corner;   // north-west to south-east
    case 32643: return XC_bottom_left_corner;    // north-east to south-west
    case 32644: return XC_sb_h_double_arrow;     // west to east
    case 32645: return XC_sb_v_double_arrow;     // north to south
    case 32646: return XC_fleur;                 // size all
    case 32648: return XC_X_cursor;              // not allowed
    case 32649: return XC_hand2;                 // hand
    case 32650: return XC_watch;                 // working in the background
    case 32651: return XC_question_arrow;        // help
    default: return -1;
  }
}

}  // namespace tvxp::x11
