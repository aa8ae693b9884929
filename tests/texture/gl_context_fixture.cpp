#include "gl_context_fixture.h"

#include <tarvex/window.h>
#include <tvxp/gl.h>

namespace tvx_test {

bool ensure_gl_context() {
  static bool created = false;
  if (!created) {
    created = true;
    Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
    Tarvex::CREATEOGLWINDOW("texture tests", 64, 64, 32, false);
  }
  return tvxp::gl_get_current_context() != 0;
}

}  // namespace tvx_test
