// The message box drawn on X: shown by a child process (a fresh X connection),
// found by its title and answered with synthetic keys and clicks.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <tvxp/msgbox.h>
#include <tvxp/types.h>

#include "test_support.h"
#include "x11_common.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char CHILD_FLAG[] = "--show-box";
// The same, on a connection where another window of the program waits for an
// event of its own: the box must leave that event queued.
const char CHILD_BESIDE_FLAG[] = "--show-box-beside-window";

struct Child {
  pid_t pid = -1;
  int err_fd = -1;  // the child's standard error
};

// Starts this executable as a box process: message_box(text, caption, style),
// its answer as the exit status.
Child spawn_box(const std::string& text, const std::string& caption, unsigned style, bool with_display = true,
                const char* mode = CHILD_FLAG) {
  Child c;
  int fds[2];
  if (pipe(fds) != 0) return c;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (with_display || std::strncmp(*e, "DISPLAY=", 8) != 0) env.push_back(*e);
  std::vector<char*> envp;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", flag = mode, st = std::to_string(style);
  std::string t = text, cap = caption;
  char* argv[] = {self.data(), flag.data(), t.data(), cap.data(), st.data(), nullptr};
  if (posix_spawn(&c.pid, self.c_str(), &actions, nullptr, argv, envp.data()) != 0) c.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  c.err_fd = fds[0];
  return c;
}

// The child's exit status, or -1 while it still runs after `limit`.
int wait_child(Child& c, std::chrono::milliseconds limit) {
  auto end = Clock::now() + limit;
  for (;;) {
    int status = 0;
    pid_t r = waitpid(c.pid, &status, WNOHANG);
    if (r == c.pid) {
      c.pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }
    if (Clock::now() >= end) return -1;
    std::this_thread::sleep_for(10ms);
  }
}

void end_child(Child& c) {
  if (c.pid > 0) {
    kill(c.pid, SIGKILL);
    waitpid(c.pid, nullptr, 0);
    c.pid = -1;
  }
  if (c.err_fd >= 0) close(c.err_fd);
  c.err_fd = -1;
}

std::string read_all(int fd) {
  std::string out;
  char buf[256];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  return out;
}

std::string property_text(Display* dpy, Window w, const char* name, Atom* type_out = nullptr) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1024, False, AnyPropertyType, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    if (format == 8) out.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (type_out) *type_out = type;
  return out;
}

std::vector<Atom> property_atoms(Display* dpy, Window w, const char* name) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::vector<Atom> out;
  if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 64, False, XA_ATOM, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    if (format == 32) out.assign(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
    XFree(data);
  }
  return out;
}

// The top-level window titled `title` (UTF-8), once it is viewable and, when
// `focused`, holds the keyboard focus; 0 if none shows up in time.
Window find_box(Display* dpy, const std::string& title, bool focused = true,
               std::chrono::milliseconds limit = 10s) {
  auto end = Clock::now() + limit;
  for (;;) {
    Window root_ret, parent;
    Window* kids = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root_ret, &parent, &kids, &n)) {
      for (unsigned i = 0; i < n && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, kids[i], &a) && a.map_state == IsViewable &&
            property_text(dpy, kids[i], "_NET_WM_NAME") == title)
          found = kids[i];
      }
      if (kids) XFree(kids);
    }
    if (found) {
      Window focus;
      int revert;
      XGetInputFocus(dpy, &focus, &revert);
      if (!focused || focus == found) return found;
    }
    if (Clock::now() >= end) return 0;
    std::this_thread::sleep_for(20ms);
  }
}

void key(Display* dpy, KeySym sym, bool down) {
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down ? True : False, 0);
  XSync(dpy, False);
}

void tap(Display* dpy, KeySym sym) {
  key(dpy, sym, true);
  std::this_thread::sleep_for(20ms);
  key(dpy, sym, false);
  std::this_thread::sleep_for(20ms);
}

void click_at(Display* dpy, Window w, int x, int y, bool release_elsewhere = false) {
  int rx, ry;
  Window child;
  XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), x, y, &rx, &ry, &child);
  XTestFakeMotionEvent(dpy, -1, rx, ry, 0);
  XTestFakeButtonEvent(dpy, 1, True, 0);
  XSync(dpy, False);
  std::this_thread::sleep_for(30ms);
  if (release_elsewhere) {
    XTestFakeMotionEvent(dpy, -1, rx - x + 5, ry - y + 5, 0);
    XSync(dpy, False);
    std::this_thread::sleep_for(30ms);
  }
  XTestFakeButtonEvent(dpy, 1, False, 0);
  XSync(dpy, False);
}

void send_close(Display* dpy, Window w) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, w, False, NoEventMask, &ev);
  XSync(dpy, False);
}

class MessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    TVX_REQUIRE_DISPLAY();
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
    int ev, err, major, minor;
    ASSERT_TRUE(XTestQueryExtension(dpy_, &ev, &err, &major, &minor)) << "the X server lacks XTEST";
  }
  void TearDown() override {
    end_child(child_);
    if (dpy_) XCloseDisplay(dpy_);
  }
  // A caption no other box of the run has.
  std::string caption(const char* what) {
    static int n = 0;
    return std::string(what) + " " + std::to_string(++n);
  }
  Window show(const std::string& text, const std::string& cap, unsigned style) {
    child_ = spawn_box(text, cap, style);
    if (child_.pid <= 0) return 0;
    return find_box(dpy_, cap);
  }

  Display* dpy_ = nullptr;
  Child child_;
};

struct KeyCase {
  unsigned style;
  std::vector<KeySym> keys;
  int answer;
};

TEST_F(MessageBox, KeysAnswer) {
  const unsigned YESNO = tvxp::MB_YESNO | tvxp::MB_ICONQUESTION;
  const std::vector<KeyCase> cases = {
      {YESNO, {XK_y}, tvxp::IDYES},
      {YESNO, {XK_n}, tvxp::IDNO},
      {YESNO, {XK_Return}, tvxp::IDYES},  // the first button is the default
      {YESNO, {XK_KP_Enter}, tvxp::IDYES},
      {YESNO, {XK_Tab, XK_Return}, tvxp::IDNO},
      {YESNO, {XK_Right, XK_space}, tvxp::IDNO},
      {YESNO, {XK_Tab, XK_Left, XK_Return}, tvxp::IDYES},
      {YESNO, {XK_Escape, XK_o, XK_n}, tvxp::IDNO},  // no Cancel: Escape does nothing
      {tvxp::MB_OK, {XK_Return}, tvxp::IDOK},
      {tvxp::MB_OK | tvxp::MB_ICONERROR, {XK_Escape}, tvxp::IDOK},
      {tvxp::MB_OK | tvxp::MB_ICONWARNING, {XK_y, XK_n, XK_space}, tvxp::IDOK},
  };
  for (const KeyCase& c : cases) {
    std::string cap = caption("Keys");
    Window w = show("Settare lo schermo intero?  ", cap, c.style);
    ASSERT_NE(w, 0u) << "no box " << cap;
    for (size_t i = 0; i < c.keys.size(); ++i) {
      tap(dpy_, c.keys[i]);
      if (i + 1 < c.keys.size()) {
        EXPECT_EQ(wait_child(child_, 100ms), -1) << cap << ": answered early";
      }
    }
    EXPECT_EQ(wait_child(child_, 5s), c.answer) << cap;
    end_child(child_);
  }
}

TEST_F(MessageBox, KeyHeldBeforeTheBoxCannotAnswerIt) {
  key(dpy_, XK_y, true);
  std::string cap = caption("Held");
  Window w = show("Tenuto?", cap, tvxp::MB_YESNO);
  ASSERT_NE(w, 0u);
  // Long enough for the key to repeat.
  std::this_thread::sleep_for(900ms);
  key(dpy_, XK_y, false);
  EXPECT_EQ(wait_child(child_, 400ms), -1) << "the held key answered the box";
  tap(dpy_, XK_n);
  EXPECT_EQ(wait_child(child_, 5s), tvxp::IDNO);
}

TEST_F(MessageBox, MouseClicksAButton) {
  // The buttons sit centred in the bottom strip, 14 pixels above the edge.
  std::string cap = caption("Mouse");
  Window w = show("Clic?", cap, tvxp::MB_YESNO | tvxp::MB_ICONINFORMATION);
  ASSERT_NE(w, 0u);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, w, &a));
  int no_x = a.width / 2 + 40, y = a.height - 22;
  click_at(dpy_, w, no_x, y, /*release_elsewhere=*/true);
  EXPECT_EQ(wait_child(child_, 400ms), -1) << "a release away from the button answered";
  click_at(dpy_, w, no_x, y);
  EXPECT_EQ(wait_child(child_, 5s), tvxp::IDNO);
}

TEST_F(MessageBox, WindowIsACentredFixedDialogTitledInUtf8) {
  // The caption is Windows-1252: 0xE8 is "è".
  std::string cap = caption("Attenzione \xE8");
  std::string title = cap;
  title.replace(title.find('\xE8'), 1, "\xC3\xA8");
  child_ = spawn_box("la rispettiva applicazione non \xE8 stata inizilizata!", cap, tvxp::MB_OK);
  Window w = find_box(dpy_, title);
  ASSERT_NE(w, 0u) << "no window titled " << title;

  Atom type = 0;
  EXPECT_EQ(property_text(dpy_, w, "_NET_WM_NAME", &type), title);
  EXPECT_EQ(type, XInternAtom(dpy_, "UTF8_STRING", False));
  EXPECT_EQ(property_text(dpy_, w, "WM_NAME", &type), cap);  // Latin-1 holds it
  EXPECT_EQ(type, XA_STRING);

  std::vector<Atom> types = property_atoms(dpy_, w, "_NET_WM_WINDOW_TYPE");
  ASSERT_EQ(types.size(), 1u);
  EXPECT_EQ(types[0], XInternAtom(dpy_, "_NET_WM_WINDOW_TYPE_DIALOG", False));

  Atom* protocols = nullptr;
  int n = 0;
  ASSERT_TRUE(XGetWMProtocols(dpy_, w, &protocols, &n));
  std::vector<Atom> list(protocols, protocols + n);
  XFree(protocols);
  EXPECT_NE(std::find(list.begin(), list.end(), XInternAtom(dpy_, "WM_DELETE_WINDOW", False)), list.end());

  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(dpy_, w, &a));
  XSizeHints hints;
  long supplied;
  ASSERT_TRUE(XGetWMNormalHints(dpy_, w, &hints, &supplied));
  ASSERT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
  EXPECT_EQ(hints.min_width, a.width);
  EXPECT_EQ(hints.max_width, a.width);
  EXPECT_EQ(hints.min_height, a.height);
  EXPECT_EQ(hints.max_height, a.height);

  int sw = DisplayWidth(dpy_, DefaultScreen(dpy_)), sh = DisplayHeight(dpy_, DefaultScreen(dpy_));
  EXPECT_NEAR(a.x, (sw - a.width) / 2, 1);
  EXPECT_NEAR(a.y, (sh - a.height) / 2, 1);

  if (const char* shot = std::getenv("TVX_MSGBOX_SHOT")) {
    std::string cmd = "import -window " + std::to_string(w) + " " + shot;
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }

  tap(dpy_, XK_Return);
  EXPECT_EQ(wait_child(child_, 5s), tvxp::IDOK);
  // The box is gone once it has answered.
  EXPECT_EQ(find_box(dpy_, title, false, 0ms), 0u);
}

TEST_F(MessageBox, CloseRequest) {
  std::string cap = caption("Close");
  Window w = show("Settare lo schermo intero?  ", cap, tvxp::MB_YESNO | tvxp::MB_ICONQUESTION);
  ASSERT_NE(w, 0u);
  send_close(dpy_, w);
  EXPECT_EQ(wait_child(child_, 400ms), -1) << "a Yes/No box has no Cancel to close with";
  tap(dpy_, XK_y);
  EXPECT_EQ(wait_child(child_, 5s), tvxp::IDYES);
  end_child(child_);

  cap = caption("Close");
  w = show("Errore", cap, tvxp::MB_OK);
  ASSERT_NE(w, 0u);
  send_close(dpy_, w);
  EXPECT_EQ(wait_child(child_, 5s), tvxp::IDOK);
}

TEST_F(MessageBox, LeavesOtherWindowsEventsQueued) {
  std::string cap = caption("Beside");
  child_ = spawn_box("Errore", cap, tvxp::MB_OK, true, CHILD_BESIDE_FLAG);
  ASSERT_GT(child_.pid, 0);
  ASSERT_NE(find_box(dpy_, cap), 0u);
  tap(dpy_, XK_Return);
  EXPECT_EQ(wait_child(child_, 5s), tvxp::IDOK) << "100: the other window's event was taken by the box";
}

}  // namespace

namespace {

std::vector<tvx_test::BoxRecord> g_seen;
int hook(const char* text, const char* caption, unsigned style) {
  g_seen.push_back({text, caption, style});
  return tvxp::IDNO;
}

TEST(MessageBoxHook, AnswersInsteadOfAWindow) {
  g_seen.clear();
  tvxp::message_box_hook = hook;
  int answer = tvxp::message_box(0, "Settare lo schermo intero?  ", "Video!", tvxp::MB_YESNO | tvxp::MB_ICONQUESTION);
  tvxp::message_box_hook = nullptr;
  EXPECT_EQ(answer, tvxp::IDNO);
  ASSERT_EQ(g_seen.size(), 1u);
  EXPECT_EQ(g_seen[0].text, "Settare lo schermo intero?  ");
  EXPECT_EQ(g_seen[0].caption, "Video!");
  EXPECT_EQ(g_seen[0].style, 0x24u);
}

TEST(MessageBoxWithoutDisplay, WritesCaptionAndTextToStandardError) {
  Child c = spawn_box("la rispettiva applicazione non \xE8 stata inizilizata!", "Error", tvxp::MB_OK,
                      /*with_display=*/false);
  ASSERT_GT(c.pid, 0);
  std::string err = read_all(c.err_fd);
  EXPECT_EQ(wait_child(c, 5s), 0);
  end_child(c);
  EXPECT_EQ(err, "Error: la rispettiva applicazione non \xC3\xA8 stata inizilizata!\n");
}

}  // namespace

namespace {

int show_beside_window(const char* text, const char* caption, unsigned style) {
  Display* dpy = tvxp::x11::display();
  if (!dpy) return 200;
  Window w = XCreateSimpleWindow(dpy, tvxp::x11::root(), 0, 0, 10, 10, 0, 0, 0);
  XSelectInput(dpy, w, PropertyChangeMask);
  XChangeProperty(dpy, w, XInternAtom(dpy, "TVX_PROBE", False), XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>("x"), 1);
  XSync(dpy, False);
  int answer = tvxp::message_box(0, text, caption, style);
  XEvent ev;
  return XCheckTypedWindowEvent(dpy, w, PropertyNotify, &ev) ? answer : 100;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], CHILD_FLAG) == 0)
    return tvxp::message_box(0, argv[2], argv[3], static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
  if (argc == 5 && std::strcmp(argv[1], CHILD_BESIDE_FLAG) == 0)
    return show_beside_window(argv[2], argv[3], static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
