// The cursor and icon reader on arbitrary bytes: no fault, a reason for every
// refusal, and a success's image within its bounds.
#include <cstdlib>

#include "cursor_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tvxp::CursorImage image;
  const char* why = nullptr;
  if (!tvxp::decode_cursor_file(data, size, &image, &why)) {
    if (!why || !image.argb.empty()) std::abort();
    return 0;
  }
  if (image.width < 1 || image.width > 256 || image.height < 1 || image.height > 256) std::abort();
  if (image.argb.size() != size_t(image.width) * image.height) std::abort();
  if (image.hot_x < 0 || image.hot_x >= image.width || image.hot_y < 0 || image.hot_y >= image.height) std::abort();
  return 0;
}
