// Message boxes: the test hook, the X box, and standard error when no box can
// be shown.
#include <tvxp/msgbox.h>

#include <cstdio>

#include "msgbox_x11.h"
#include "x11_common.h"

namespace tvxp {

MessageBoxHook message_box_hook = nullptr;

int message_box(HWND owner, const char* text, const char* caption, UINT style) {
  (void)owner;
  if (message_box_hook) return message_box_hook(text ? text : "", caption ? caption : "", style);
  std::string utf8_text = x11::cp1252_to_utf8(text);
  std::string utf8_caption = x11::cp1252_to_utf8(caption);
  if (x11::display()) {
    int answer = x11::show_message_box(utf8_text, utf8_caption, style);
    if (answer != 0) return answer;
  }
  // A user at a terminal still sees every message.
  std::fprintf(stderr, "%s: %s\n", utf8_caption.c_str(), utf8_text.c_str());
  std::fflush(stderr);
  return 0;
}

}  // namespace tvxp
