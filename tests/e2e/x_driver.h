// Drives a program from outside: starts it, finds its windows, types and
// clicks through XTest, reads its pixels back.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tvx_e2e {

struct Program {
  pid_t pid = -1;
  std::string stderr_path;
};

// Starts `path` in `dir` with extra environment entries (NAME=VALUE).
Program start(const std::string& path, const std::string& dir, const std::vector<std::string>& env = {});
// Waits up to `seconds` for the program to end; its exit status, or -1 if it
// is still running (it is then killed), or 128 + signal.
int wait_exit(Program& p, double seconds);
std::string read_stderr(const Program& p);
bool running(const Program& p);

struct WindowInfo {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;
  bool override_redirect = false;
};
// Waits for a viewable top-level window whose title (UTF-8) is exactly `title`.
bool find_window(const std::string& title, double seconds, WindowInfo* out);
// Waits until no window of that title remains.
bool window_gone(const std::string& title, double seconds);

void key_down(const char* keysym_name);
void key_up(const char* keysym_name);
void tap(const char* keysym_name);
void move_pointer(int x, int y);
void button(int number, bool press);
// Asks the window to close, as its close box does.
void request_close(unsigned long window);
void focus(unsigned long window);
// The 0x00RRGGBB pixel at (x, y) of a window.
unsigned pixel(unsigned long window, int x, int y);
// All pixels of a window, row by row.
std::vector<unsigned> pixels(unsigned long window, int* width, int* height);
int screen_width();
int screen_height();
void sleep_ms(int ms);

}  // namespace tvx_e2e
