/* Preloaded into a program under measurement: notes the moment of its first
 * presented frame and, at exit, its peak resident memory, into the file named
 * by PRESENT_PROBE_OUT ("first_present_ns peak_kib"). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

typedef void (*swap_fn)(void*, unsigned long);
static long long first_present_ns = 0;

static long long now_ns(void) {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);  /* the clock `date +%s%N` reads */
  return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

void glXSwapBuffers(void* dpy, unsigned long drawable) {
  static swap_fn real = NULL;
  if (!real) real = (swap_fn)dlsym(RTLD_NEXT, "glXSwapBuffers");
  real(dpy, drawable);
  if (!first_present_ns) first_present_ns = now_ns();
}

static long peak_kib(void) {
  FILE* f = fopen("/proc/self/status", "r");
  char line[256];
  long kib = 0;
  if (!f) return 0;
  while (fgets(line, sizeof line, f))
    if (strncmp(line, "VmHWM:", 6) == 0) kib = strtol(line + 6, NULL, 10);
  fclose(f);
  return kib;
}

__attribute__((destructor)) static void report(void) {
  const char* out = getenv("PRESENT_PROBE_OUT");
  if (!out) return;
  FILE* f = fopen(out, "w");
  if (!f) return;
  fprintf(f, "%lld %ld\n", first_present_ns, peak_kib());
  fclose(f);
}
