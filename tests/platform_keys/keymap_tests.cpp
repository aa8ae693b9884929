// Keys to virtual-key codes, from the keysyms of a key's first two levels.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "keymap.h"

namespace {

// No keysym (X.h names it NoSymbol; the keysym table is enough here).
constexpr unsigned long NoSymbol = 0;

struct KeyCase {
  unsigned long keysym0;
  unsigned long keysym1;
  bool num_lock;
  uint32_t vk;
};

constexpr KeyCase kCases[] = {
    // Letters: one code for the key whatever the shift level.
    {XK_a, XK_A, false, 65},
    {XK_z, XK_Z, false, 90},
    {XK_w, XK_W, true, 87},
    {XK_A, XK_a, false, 65},  // a layout that lists the capital first
    {XK_Z, XK_z, false, 90},
    // Digits on the main block, with their shifted symbols.
    {XK_0, XK_parenright, false, 48},
    {XK_9, XK_parenleft, false, 57},
    {XK_1, XK_exclam, true, 49},
    // Control and editing keys.
    {XK_Escape, NoSymbol, false, 27},
    {XK_Return, NoSymbol, false, 13},
    {XK_Tab, XK_ISO_Left_Tab, false, 9},
    {XK_BackSpace, NoSymbol, false, 8},
    {XK_space, NoSymbol, false, 32},
    {XK_Shift_L, NoSymbol, false, 16},
    {XK_Shift_R, NoSymbol, false, 16},
    {XK_Control_L, NoSymbol, false, 17},
    {XK_Control_R, NoSymbol, false, 17},
    {XK_Alt_L, XK_Meta_L, false, 18},
    {XK_Alt_R, XK_Meta_R, false, 18},
    {XK_Meta_L, NoSymbol, false, 18},
    {XK_ISO_Level3_Shift, NoSymbol, false, 18},
    {XK_Pause, XK_Break, false, 19},
    {XK_Caps_Lock, NoSymbol, false, 20},
    {XK_Prior, NoSymbol, false, 33},
    {XK_Next, NoSymbol, false, 34},
    {XK_End, NoSymbol, false, 35},
    {XK_Home, NoSymbol, false, 36},
    {XK_Left, NoSymbol, false, 37},
    {XK_Up, NoSymbol, false, 38},
    {XK_Right, NoSymbol, false, 39},
    {XK_Down, NoSymbol, false, 40},
    {XK_Print, XK_Sys_Req, false, 44},
    {XK_Insert, NoSymbol, false, 45},
    {XK_Delete, NoSymbol, false, 46},
    {XK_Super_L, NoSymbol, false, 91},
    {XK_Super_R, NoSymbol, false, 92},
    {XK_Menu, NoSymbol, false, 93},
    {XK_Num_Lock, NoSymbol, true, 144},
    {XK_Scroll_Lock, NoSymbol, false, 145},
    // Function keys.
    {XK_F1, NoSymbol, false, 112},
    {XK_F4, NoSymbol, false, 115},
    {XK_F10, NoSymbol, false, 121},
    {XK_F12, NoSymbol, false, 123},
    {XK_F24, NoSymbol, false, 135},
    // Punctuation, by the unshifted symbol of its key.
    {XK_semicolon, XK_colon, false, 186},
    {XK_equal, XK_plus, false, 187},
    {XK_comma, XK_less, false, 188},
    {XK_minus, XK_underscore, false, 189},
    {XK_period, XK_greater, false, 190},
    {XK_slash, XK_question, false, 191},
    {XK_grave, XK_asciitilde, false, 192},
    {XK_bracketleft, XK_braceleft, false, 219},
    {XK_backslash, XK_bar, false, 220},
    {XK_bracketright, XK_braceright, false, 221},
    {XK_apostrophe, XK_quotedbl, false, 222},
    {XK_less, XK_greater, false, 226},
    // Keypad with Num Lock on: the digits of the second level.
    {XK_KP_Insert, XK_KP_0, true, 96},
    {XK_KP_End, XK_KP_1, true, 97},
    {XK_KP_Down, XK_KP_2, true, 98},
    {XK_KP_Next, XK_KP_3, true, 99},
    {XK_KP_Left, XK_KP_4, true, 100},
    {XK_KP_Begin, XK_KP_5, true, 101},
    {XK_KP_Right, XK_KP_6, true, 102},
    {XK_KP_Home, XK_KP_7, true, 103},
    {XK_KP_Up, XK_KP_8, true, 104},
    {XK_KP_Prior, XK_KP_9, true, 105},
    {XK_KP_Delete, XK_KP_Decimal, true, 110},
    // Keypad with Num Lock off: the navigation keys.
    {XK_KP_Insert, XK_KP_0, false, 45},
    {XK_KP_End, XK_KP_1, false, 35},
    {XK_KP_Down, XK_KP_2, false, 40},
    {XK_KP_Next, XK_KP_3, false, 34},
    {XK_KP_Left, XK_KP_4, false, 37},
    {XK_KP_Begin, XK_KP_5, false, 12},
    {XK_KP_Right, XK_KP_6, false, 39},
    {XK_KP_Home, XK_KP_7, false, 36},
    {XK_KP_Up, XK_KP_8, false, 38},
    {XK_KP_Prior, XK_KP_9, false, 33},
    {XK_KP_Delete, XK_KP_Decimal, false, 46},
    // Keypad operators are the same either way.
    {XK_KP_Multiply, XK_KP_Multiply, false, 106},
    {XK_KP_Add, XK_KP_Add, true, 107},
    {XK_KP_Separator, XK_KP_Separator, false, 108},
    {XK_KP_Subtract, XK_KP_Subtract, true, 109},
    {XK_KP_Divide, XK_KP_Divide, true, 111},
    {XK_KP_Enter, NoSymbol, true, 13},
    {XK_KP_Enter, NoSymbol, false, 13},
    // A keypad digit at the first level (a layout without navigation).
    {XK_KP_7, NoSymbol, false, 103},
    // Num Lock does not reach the second level of an ordinary key.
    {XK_q, XK_Q, true, 81},
    // Keys without a code.
    {NoSymbol, NoSymbol, false, 0},
    {XK_egrave, XK_eacute, false, 0},
    {XK_Cyrillic_a, XK_Cyrillic_A, false, 0},
    {XK_KP_Equal, NoSymbol, true, 0},
};

TEST(Keymap, TableOfKeys) {
  for (const KeyCase& c : kCases) {
    uint32_t vk = tvxp::x11::vk_from_keysyms(c.keysym0, c.keysym1, c.num_lock);
    EXPECT_EQ(vk, c.vk) << "keysyms 0x" << std::hex << c.keysym0 << ", 0x" << c.keysym1 << std::dec
                        << (c.num_lock ? " with" : " without") << " Num Lock";
    EXPECT_LT(vk, 501u);
  }
}

TEST(Keymap, OnlyF10IsASystemKey) {
  for (uint32_t vk = 0; vk < 501; ++vk) EXPECT_EQ(tvxp::x11::is_system_key(vk), vk == 121) << vk;
}

}  // namespace
