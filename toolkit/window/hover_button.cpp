// Image hover buttons.
#include <tarvex/window.h>

namespace Tarvex {

LRESULT HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_) {
  return tvxp::def_window_proc(WND, IMSG, WPARAM_, LPARAM_);
}

}  // namespace Tarvex
