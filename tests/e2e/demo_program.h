// The demo as the end-to-end tests see it: its window's title and where the
// build puts it (RAYHEIGHT_BIN, given to each test by its build).
#pragma once

#include <filesystem>

namespace tvx_e2e {

inline constexpr char DEMO_TITLE[] =
    "Rilevamento dell altezza tramite intersezioni con i raggi - W\\S\\A\\D movimento  Z on/off debug";

// The directory of the demo binary, where its images lie.
inline std::filesystem::path demo_bin_dir() { return std::filesystem::path(RAYHEIGHT_BIN).parent_path(); }

}  // namespace tvx_e2e
