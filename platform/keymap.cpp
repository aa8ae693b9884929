// Keys to virtual-key codes.
#include "keymap.h"

#include <X11/keysym.h>

namespace tvxp::x11 {
namespace {

bool is_keypad(unsigned long sym) { return sym >= XK_KP_Space && sym <= XK_KP_Equal; }

// Keysyms that are neither letters nor digits, by virtual-key code.
struct KeyCode {
  unsigned long sym;
  uint32_t vk;
};

constexpr KeyCode kCodes[] = {
    {XK_BackSpace, 8},
    {XK_Tab, 9},
    {XK_KP_Begin, 12},
    {XK_Return, 13},
    {XK_KP_Enter, 13},
    {XK_Shift_L, 16},
    {XK_Shift_R, 16},
    {XK_Control_L, 17},
    {XK_Control_R, 17},
    {XK_Alt_L, 18},
    {XK_Alt_R, 18},
    {XK_Meta_L, 18},
    {XK_Meta_R, 18},
    {XK_ISO_Level3_Shift, 18},  // AltGr
    {XK_Pause, 19},
    {XK_Caps_Lock, 20},
    {XK_Escape, 27},
    {XK_space, 32},
    {XK_Prior, 33},
    {XK_KP_Prior, 33},
    {XK_Next, 34},
    {XK_KP_Next, 34},
    {XK_End, 35},
    {XK_KP_End, 35},
    {XK_Home, 36},
    {XK_KP_Home, 36},
    {XK_Left, 37},
    {XK_KP_Left, 37},
    {XK_Up, 38},
    {XK_KP_Up, 38},
    {XK_Right, 39},
    {XK_KP_Right, 39},
    {XK_Down, 40},
    {XK_KP_Down, 40},
    {XK_Print, 44},
    {XK_Insert, 45},
    {XK_KP_Insert, 45},
    {XK_Delete, 46},
    {XK_KP_Delete, 46},
    {XK_Super_L, 91},
    {XK_Super_R, 92},
    {XK_Menu, 93},
    {XK_KP_Multiply, 106},
    {XK_KP_Add, 107},
    {XK_KP_Separator, 108},
    {XK_KP_Subtract, 109},
    {XK_KP_Decimal, 110},
    {XK_KP_Divide, 111},
    {XK_Num_Lock, 144},
    {XK_Scroll_Lock, 145},
    {XK_semicolon, 186},
    {XK_equal, 187},
    {XK_comma, 188},
    {XK_minus, 189},
    {XK_period, 190},
    {XK_slash, 191},
    {XK_grave, 192},
    {XK_bracketleft, 219},
    {XK_backslash, 220},
    {XK_bracketright, 221},
    {XK_apostrophe, 222},
    {XK_less, 226},  // the extra key beside left Shift on 102-key boards
};

uint32_t vk_from_keysym(unsigned long sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<uint32_t>(sym - XK_a) + 65;
  if (sym >= XK_A && sym <= XK_Z) return static_cast<uint32_t>(sym - XK_A) + 65;
  if (sym >= XK_0 && sym <= XK_9) return static_cast<uint32_t>(sym - XK_0) + 48;
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<uint32_t>(sym - XK_KP_0) + 96;
  if (sym >= XK_F1 && sym <= XK_F24) return static_cast<uint32_t>(sym - XK_F1) + 112;
  for (const KeyCode& k : kCodes)
    if (k.sym == sym) return k.vk;
  return 0;
}

}  // namespace

uint32_t vk_from_keysyms(unsigned long keysym0, unsigned long keysym1, bool num_lock) {
  // A keypad key's second level holds its digit (or decimal point); with Num
  // Lock off the key keeps its navigation meaning from the first level.
  if (num_lock && is_keypad(keysym0) && is_keypad(keysym1)) {
    uint32_t vk = vk_from_keysym(keysym1);
    if (vk != 0) return vk;
  }
  return vk_from_keysym(keysym0);
}

bool is_system_key(uint32_t vk) { return vk == 121; }

}  // namespace tvxp::x11
