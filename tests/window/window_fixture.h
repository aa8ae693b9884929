// One toolkit window per test process: the class can be registered once.
#pragma once

#include <gtest/gtest.h>

namespace tvx_test {

// Creates the toolkit window (320 x 240, windowed) on first use, with the
// menu hooks switched on, and makes its context current.
void ensure_toolkit_window();
// Resets the input state of the window procedure.
void reset_input_state();
// Works off every queued message through the pump.
void drain_messages();

}  // namespace tvx_test
