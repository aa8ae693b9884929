// Helpers shared by the test suites.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tvx_test {

// True when an X display can be opened. Display tests assert it: a missing
// display is a failure, never a skip.
bool have_display();
#define TVX_REQUIRE_DISPLAY() \
  ASSERT_TRUE(::tvx_test::have_display()) << "no X display: run the tests under Xvfb (./test.sh does)"

// A scratch directory of this test process, made on first use.
const std::string& scratch_dir();
// Writes `bytes` to a file of that name in the scratch directory; its path.
std::string write_fixture(const std::string& name, const std::vector<uint8_t>& bytes);

// Message boxes seen by the recorder, in order.
struct BoxRecord {
  std::string text;
  std::string caption;
  unsigned style;
};
std::vector<BoxRecord>& boxes();
// Every message box from now on is recorded and answered with `answer`.
void record_boxes(int answer);
// Stops recording; boxes show normally again.
void stop_recording_boxes();

}  // namespace tvx_test
