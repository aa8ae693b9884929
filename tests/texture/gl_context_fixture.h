// One toolkit window per test process, for its GL context.
#pragma once

namespace tvx_test {

// Creates the toolkit window (64 x 64, windowed) on first use and leaves its
// context current. True when the context is current.
bool ensure_gl_context();

}  // namespace tvx_test
