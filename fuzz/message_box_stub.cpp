// The message box for the fuzzers: counts the boxes instead of showing them,
// so a target can check that a refused read shows exactly one.
#include <tvxp/msgbox.h>

namespace tvxp {

MessageBoxHook message_box_hook = nullptr;

int message_box(HWND owner, const char* text, const char* caption, UINT style) {
  (void)owner;
  if (message_box_hook) return message_box_hook(text ? text : "", caption ? caption : "", style);
  return 0;
}

}  // namespace tvxp
