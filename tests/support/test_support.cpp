#include "test_support.h"

#include <cstdlib>

#include <tvxp/msgbox.h>
#include <tvxp/window.h>

namespace tvx_test {
namespace {

int g_answer = 0;

int recorder(const char* text, const char* caption, unsigned style) {
  boxes().push_back({text, caption, style});
  return g_answer;
}

}  // namespace

bool have_display() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  return tvxp::get_system_metrics(tvxp::SM_CXSCREEN) > 0;
}

std::vector<BoxRecord>& boxes() {
  static std::vector<BoxRecord> list;
  return list;
}

void record_boxes(int answer) {
  g_answer = answer;
  boxes().clear();
  tvxp::message_box_hook = recorder;
}

void stop_recording_boxes() { tvxp::message_box_hook = nullptr; }

}  // namespace tvx_test
