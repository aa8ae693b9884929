// The BMP reader on arbitrary bytes: no fault, a reason for every refusal, and
// a success's pixel block as long as its sizes say with sizes that agree.
#include <tvxp/bmp.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tvxp::DibImage image;
  const char* why = nullptr;
  if (!tvxp::decode_bmp(data, size, &image, &why)) {
    if (!why || image.pixels) std::abort();
    return 0;
  }
  if (image.width <= 0 || image.height <= 0 || image.stride % 4 != 0 || !image.pixels) std::abort();
  if (uint64_t{image.stride} * 8 < static_cast<uint64_t>(image.width) * image.bits) std::abort();
  if (image.color_count > 256 || (image.bits > 8 && image.color_count != 0)) std::abort();
  // The first and last byte: the sanitizer faults if the block is shorter.
  const size_t bytes = size_t{image.stride} * image.height;
  volatile uint8_t ends = static_cast<uint8_t>(image.pixels[0] + image.pixels[bytes - 1]);
  (void)ends;
  tvxp::free_dib(&image);
  return 0;
}
