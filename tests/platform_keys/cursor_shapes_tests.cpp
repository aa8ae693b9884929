// System cursor ids to cursor-font shapes.
#include <gtest/gtest.h>

#include <X11/cursorfont.h>

#include "cursor_shapes.h"

namespace {

struct CursorCase {
  int id;
  int shape;
};

constexpr CursorCase kCursors[] = {
    {32512, XC_left_ptr},           {32513, XC_xterm},
    {32514, XC_watch},              {32515, XC_crosshair},
    {32516, XC_sb_up_arrow},        {32640, XC_fleur},
    {32642, XC_bottom_right_corner}, {32643, XC_bottom_left_corner},
    {32644, XC_sb_h_double_arrow},  {32645, XC_sb_v_double_arrow},
    {32646, XC_fleur},              {32648, XC_X_cursor},
    {32649, XC_hand2},              {32650, XC_watch},
    {32651, XC_question_arrow},
    // Ids between and around the system cursors name none.
    {0, -1}, {1, -1}, {32511, -1}, {32517, -1}, {32641, -1}, {32647, -1}, {32652, -1}, {-32512, -1},
};

TEST(CursorShapes, SystemCursorIds) {
  for (const CursorCase& c : kCursors) EXPECT_EQ(tvxp::x11::cursor_font_shape(c.id), c.shape) << "id " << c.id;
}

}  // namespace
