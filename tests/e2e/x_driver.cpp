#include "x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tvx_e2e {
namespace {

Display* dpy() {
  static Display* d = XOpenDisplay(nullptr);
  return d;
}

int ignore_errors(Display*, XErrorEvent*) { return 0; }

std::string title_of(Window w) {
  Display* d = dpy();
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long n, after;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(d, w, net_name, 0, 4096, False, utf8, &type, &format, &n, &after, &data) == Success && data) {
    out.assign(reinterpret_cast<char*>(data), n);
    XFree(data);
  }
  return out;
}

void collect(Window w, int depth, std::vector<Window>* out) {
  if (depth > 3) return;
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(dpy(), w, &root, &parent, &children, &n)) return;
  for (unsigned i = 0; i < n; ++i) {
    out->push_back(children[i]);
    collect(children[i], depth + 1, out);
  }
  if (children) XFree(children);
}

bool lookup(const std::string& title, WindowInfo* out) {
  Display* d = dpy();
  XSetErrorHandler(ignore_errors);
  std::vector<Window> all;
  collect(DefaultRootWindow(d), 0, &all);
  for (Window w : all) {
    if (title_of(w) != title) continue;
    XWindowAttributes wa;
    if (!XGetWindowAttributes(d, w, &wa) || wa.map_state != IsViewable) continue;
    if (out) {
      Window child;
      out->id = w;
      XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &out->x, &out->y, &child);
      out->width = wa.width;
      out->height = wa.height;
      out->override_redirect = wa.override_redirect;
    }
    return true;
  }
  return false;
}

void key(const char* name, bool press) {
  Display* d = dpy();
  KeyCode code = XKeysymToKeycode(d, XStringToKeysym(name));
  XTestFakeKeyEvent(d, code, press ? True : False, CurrentTime);
  XFlush(d);
}

}  // namespace

Program start(const std::string& path, const std::string& dir, const std::vector<std::string>& env) {
  Program p;
  char tmpl[] = "/tmp/tvx-e2e-stderr-XXXXXX";
  int fd = mkstemp(tmpl);
  p.stderr_path = tmpl;
  p.pid = fork();
  if (p.pid == 0) {
    dup2(fd, 2);
    if (chdir(dir.c_str()) != 0) _exit(126);
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fd);
  return p;
}

int wait_exit(Program& p, double seconds) {
  if (p.pid <= 0) return -1;
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  for (;;) {
    pid_t r = waitpid(p.pid, &status, WNOHANG);
    if (r == p.pid) break;
    if (std::chrono::steady_clock::now() > until) {
      kill(p.pid, SIGKILL);
      waitpid(p.pid, &status, 0);
      p.pid = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  p.pid = -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

bool running(const Program& p) { return p.pid > 0 && waitpid(p.pid, nullptr, WNOHANG) == 0; }

std::string read_stderr(const Program& p) {
  std::ifstream in(p.stderr_path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool find_window(const std::string& title, double seconds, WindowInfo* out) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (lookup(title, out)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

bool window_gone(const std::string& title, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (!lookup(title, nullptr)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void key_down(const char* name) { key(name, true); }
void key_up(const char* name) { key(name, false); }
void tap(const char* name) {
  key(name, true);
  sleep_ms(30);
  key(name, false);
}

void move_pointer(int x, int y) {
  XTestFakeMotionEvent(dpy(), -1, x, y, CurrentTime);
  XFlush(dpy());
}

void button(int number, bool press) {
  XTestFakeButtonEvent(dpy(), static_cast<unsigned>(number), press ? True : False, CurrentTime);
  XFlush(dpy());
}

void request_close(unsigned long window) {
  Display* d = dpy();
  XEvent ev;
  std::memset(&ev, 0, sizeof ev);
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &ev);
  XFlush(d);
}

void focus(unsigned long window) {
  XSetInputFocus(dpy(), window, RevertToParent, CurrentTime);
  XFlush(dpy());
}

unsigned pixel(unsigned long window, int x, int y) {
  XImage* img = XGetImage(dpy(), window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return 0xFFFFFFFFu;
  unsigned long v = XGetPixel(img, 0, 0);
  XDestroyImage(img);
  return static_cast<unsigned>(v & 0xFFFFFF);
}

std::vector<unsigned> pixels(unsigned long window, int* width, int* height) {
  XWindowAttributes wa;
  std::vector<unsigned> out;
  if (!XGetWindowAttributes(dpy(), window, &wa)) return out;
  XImage* img = XGetImage(dpy(), window, 0, 0, static_cast<unsigned>(wa.width), static_cast<unsigned>(wa.height),
                          AllPlanes, ZPixmap);
  if (!img) return out;
  *width = wa.width;
  *height = wa.height;
  out.resize(static_cast<size_t>(wa.width) * static_cast<size_t>(wa.height));
  for (int y = 0; y < wa.height; ++y)
    for (int x = 0; x < wa.width; ++x)
      out[static_cast<size_t>(y) * static_cast<size_t>(wa.width) + static_cast<size_t>(x)] =
          static_cast<unsigned>(XGetPixel(img, x, y) & 0xFFFFFF);
  XDestroyImage(img);
  return out;
}

int screen_width() { return DisplayWidth(dpy(), DefaultScreen(dpy())); }
int screen_height() { return DisplayHeight(dpy(), DefaultScreen(dpy())); }
void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace tvx_e2e
