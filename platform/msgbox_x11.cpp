// Placeholder until the drawn box lands: no box, so the caller falls back to
// standard error.
#include "msgbox_x11.h"

namespace tvxp::x11 {

int show_message_box(const std::string&, const std::string&, UINT) { return 0; }

}  // namespace tvxp::x11
