// Cursors and icons loaded from Windows cursor and icon files.
#include <tvxp/window.h>

#include "window_internal.h"

namespace tvxp {

HCURSOR load_cursor_from_file(const char* file_name) {
  (void)file_name;
  return 0;
}

}  // namespace tvxp
