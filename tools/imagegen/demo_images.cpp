#include "demo_images.h"

#include "image_writer.h"

namespace imagegen {

bool write_demo_images(const std::string& directory) {
  const std::string dir = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  const Picture wall = make_brick_wall();
  const Picture stone = make_stone_blocks();
  const Picture grass = make_grass_tuft();
  bool ok = imageio::write_bmp(dir + WALL_FILE, wall.rgba.data(), wall.width, wall.height, WALL_BITS);
  ok = imageio::write_bmp(dir + STONE_FILE, stone.rgba.data(), stone.width, stone.height, STONE_BITS) && ok;
  ok = imageio::write_tga(dir + GRASS_FILE, grass.rgba.data(), grass.width, grass.height, GRASS_BITS,
                          /*rle=*/false) &&
       ok;
  return ok;
}

}  // namespace imagegen
