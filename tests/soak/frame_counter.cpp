// Counts the frames a program presents, seen from outside it. Preloaded into
// the program, it stands in for glXSwapBuffers, passes every call on to the
// real one and keeps the running count in a file named by
// TVX_FRAME_COUNT_FILE, mapped shared, so that a watcher reads it while the
// program runs and after it has ended.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The GLX types stay opaque: the shim only forwards them.
using SwapBuffersFn = void (*)(void* display, unsigned long drawable);

SwapBuffersFn g_real_swap = nullptr;
uint64_t* g_count = nullptr;
bool g_opened = false;

void open_count_file() {
  g_opened = true;
  const char* path = std::getenv("TVX_FRAME_COUNT_FILE");
  if (!path || !*path) return;
  int fd = open(path, O_RDWR | O_CREAT, 0644);
  if (fd < 0) return;
  if (ftruncate(fd, sizeof(uint64_t)) == 0) {
    void* p = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p != MAP_FAILED) g_count = static_cast<uint64_t*>(p);
  }
  close(fd);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void glXSwapBuffers(void* display, unsigned long drawable) {
  if (!g_real_swap) g_real_swap = reinterpret_cast<SwapBuffersFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  if (g_real_swap) g_real_swap(display, drawable);
  // Counted once the present has been handed over, so a count is a frame shown.
  if (!g_opened) open_count_file();
  if (g_count) __atomic_fetch_add(g_count, 1, __ATOMIC_RELAXED);
}
