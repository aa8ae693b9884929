#include "test_support.h"

#include <cstdio>
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

const std::string& scratch_dir() {
  static const std::string dir = [] {
    char name[] = "/tmp/tvx_tests.XXXXXX";
    const char* made = mkdtemp(name);
    return std::string(made ? made : "/tmp");
  }();
  return dir;
}

std::string write_fixture(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = scratch_dir() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f) {
    if (!bytes.empty()) {
      EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
  }
  return path;
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
