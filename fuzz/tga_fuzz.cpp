// The TGA reader on arbitrary files: no fault, one message for every refusal,
// none for a success, the file always closed, and a success's pixel block as
// long as its sizes say.
#include <tarvex/tga.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include <tvxp/msgbox.h>

namespace {

int g_boxes = 0;
char g_path[] = "/tmp/tga_fuzz_XXXXXX";
int g_fd = -1;

int count_box(const char*, const char*, unsigned) {
  ++g_boxes;
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_fd = mkstemp(g_path);
  if (g_fd < 0) std::abort();
  tvxp::message_box_hook = count_box;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ftruncate(g_fd, 0) != 0 || pwrite(g_fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  g_boxes = 0;
  Tarvex::TGATEXTURE texture{};
  const bool ok = Tarvex::LOADTGA(texture, g_path);
  if (Tarvex::FTGA != nullptr) std::abort();
  if (!ok) {
    if (g_boxes != 1 || texture.IMAGEDATA != nullptr) std::abort();
    return 0;
  }
  if (g_boxes != 0 || !texture.IMAGEDATA) std::abort();
  const size_t bytes = size_t{texture.WIDTH} * texture.HEIGHT * (texture.BPP / 8);
  if (bytes != Tarvex::TGA.IMAGESIZE) std::abort();
  // The first and last byte: the sanitizer faults if the block is shorter.
  volatile uint8_t ends = static_cast<uint8_t>(texture.IMAGEDATA[0] + texture.IMAGEDATA[bytes - 1]);
  (void)ends;
  std::free(texture.IMAGEDATA);
  return 0;
}
