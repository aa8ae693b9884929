// The demo's three pictures, made procedurally: a brick wall for the ground,
// stone blocks for the ramps, walkway and platform, and a grass tuft for the
// billboards. Pixels are RGBA, 4 bytes each, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagegen {

struct Picture {
  int width;
  int height;
  std::vector<uint8_t> rgba;
};

inline constexpr const char* WALL_FILE = "wall02.bmp";
inline constexpr const char* STONE_FILE = "stoneblocks.bmp";
inline constexpr const char* GRASS_FILE = "erba01.tga";
inline constexpr int WALL_SIZE = 256;
inline constexpr int STONE_SIZE = 256;
inline constexpr int GRASS_SIZE = 256;
inline constexpr int WALL_BITS = 24;
inline constexpr int STONE_BITS = 24;
inline constexpr int GRASS_BITS = 32;

// Tiles seamlessly: eight courses of four bricks in running bond.
Picture make_brick_wall();
// Tiles seamlessly: four courses of rough grey blocks of uneven lengths.
Picture make_stone_blocks();
// Blades rising from the bottom edge; alpha is 255 on the blades and 0
// elsewhere, and the top rows are empty.
Picture make_grass_tuft();

// Writes the three files into `directory`. The walls are bottom-up BMPs, the
// grass a plain TGA stored bottom row first, so that in each the first stored
// row is the picture's bottom. Returns false when a file cannot be written.
bool write_demo_images(const std::string& directory);

}  // namespace imagegen
