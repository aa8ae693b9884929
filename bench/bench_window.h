// The one toolkit window a benchmark process may have: the window class
// registers once per process.
#pragma once

namespace rayheight_bench {

// Creates the demo-sized window (800 x 600) with its GL context, the demo's
// GL set-up and its textures, on first use; false when there is no display.
// The working directory becomes the executable's, where the images lie.
bool bench_window();

}  // namespace rayheight_bench
