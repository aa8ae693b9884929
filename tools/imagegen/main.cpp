// Makes the demo's three texture files: rayheight-imagegen DIRECTORY
#include <cstdio>

#include "demo_images.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argc > 0 ? argv[0] : "rayheight-imagegen");
    return 2;
  }
  if (!imagegen::write_demo_images(argv[1])) {
    std::fprintf(stderr, "%s: cannot write the images into %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
