#include "window_fixture.h"

#include <cstring>

#include <tarvex/input.h>
#include <tarvex/window.h>
#include <tvxp/gl.h>

#include "test_support.h"

namespace tvx_test {

void ensure_toolkit_window() {
  static bool created = false;
  if (created) return;
  created = true;
  Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
  Tarvex::CREATEOGLWINDOW("window tests", 320, 240, 32, false);
}

void reset_input_state() {
  using namespace Tarvex;
  std::memset(SETKEY, 0, sizeof SETKEY);
  LEFTMOUSEDOWN = RIGHTMOUSEDOWN = LEFTMOUSEDOWN2 = RIGHTMOUSEDOWN2 = MOUSEFREE = false;
  SETMX = SETMY = SETOMX = SETOMY = XCOORD = YCOORD = ZCOORD = 0;
  XROT = YROT = XROT2 = YROT2 = DEPTH = DEPTH2 = 0;
  MPOS = {0, 0};
  MSPEED = 0;
  ACTIVE = true;
  tvxp::release_capture();
}

void drain_messages() {
  tvxp::MSG m;
  while (tvxp::peek_message(&m, 0, 0, 0, tvxp::PM_REMOVE)) {
    if (m.message == tvxp::WM_PAINT) tvxp::begin_paint(m.hwnd);
    tvxp::dispatch_message(&m);
  }
}

}  // namespace tvx_test
