// Keys to virtual-key codes. Needs no display.
#pragma once

#include <cstdint>

namespace tvxp::x11 {

// The virtual-key code of a key, from the keysym of its index 0 (the unshifted
// symbol, so letters give one code whatever Shift and Caps Lock do) and, for
// keypad keys, the keysym of index 1, read only while Num Lock is on (Num Lock
// off gives the navigation codes). 0 when the key has no code.
uint32_t vk_from_keysyms(unsigned long keysym0, unsigned long keysym1, bool num_lock);

// Keys that arrive as system-key messages even without Alt (F10).
bool is_system_key(uint32_t vk);

}  // namespace tvxp::x11
