// Window-creation failures: the message, then exit status 0. Each runs in a
// child process.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <tarvex/window.h>
#include <tvxp/msgbox.h>

#include "image_writer.h"
#include "test_support.h"

namespace {

// Windows-1252 text on stderr with the accented byte spelled out.
int box_to_stderr(const char* text, const char* caption, unsigned) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (static_cast<unsigned char>(*p) == 0xE8)
      out += "<E8>";
    else
      out += *p;
  }
  std::fprintf(stderr, "[%s] %s\n", caption, out.c_str());
  return tvxp::IDOK;
}

bool g_report_destructor = false;
struct ReportAtExit {
  ~ReportAtExit() {
    if (g_report_destructor) std::fprintf(stderr, "static destructors ran\n");
  }
} g_report_at_exit;

void create(bool hook) {
  if (hook) tvxp::message_box_hook = box_to_stderr;
  Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
  Tarvex::CREATEOGLWINDOW("failure test", 200, 100, 32, false);
}

class WindowFailureTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(WindowFailureTest, SecondWindowFailsAtClassRegistration) {
  TVX_REQUIRE_DISPLAY();
  EXPECT_EXIT(
      {
        create(true);
        create(true);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "\\[Error\\] Errore di registro per la rispettiva applicazione!");
}

TEST_F(WindowFailureTest, NoDisplayFailsAtWindowCreationOnStandardError) {
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        create(false);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "Error: Impossibile creare la finestra per la rispettiva applicazione!");
}

TEST_F(WindowFailureTest, UnreachableDisplayFailsAtWindowCreation) {
  EXPECT_EXIT(
      {
        setenv("DISPLAY", ":4097", 1);
        create(false);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "Impossibile creare la finestra");
}

// A server without GLX has no pixel format and no context to offer.
TEST_F(WindowFailureTest, NoPixelFormatFailsAtInitialisation) {
  // The child of the death test runs this body again: it finds the server
  // started by its parent through the environment.
  pid_t server = 0;
  if (!getenv("RAYHEIGHT_TEST_DISPLAY")) {
    int n = 150 + static_cast<int>(getpid() % 500);
    struct stat st;
    while (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) == 0) ++n;
    std::string display = ":" + std::to_string(n);
    server = fork();
    ASSERT_GE(server, 0);
    if (server == 0) {
      execlp("Xvfb", "Xvfb", display.c_str(), "-extension", "GLX", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200 && stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) != 0; ++i)
      usleep(20000);
    usleep(100000);
    setenv("RAYHEIGHT_TEST_DISPLAY", display.c_str(), 1);
  }
  EXPECT_EXIT(
      {
        setenv("DISPLAY", getenv("RAYHEIGHT_TEST_DISPLAY"), 1);
        create(true);
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "\\[Error\\] la rispettiva applicazione non <E8> stata inizilizata!");
  if (server > 0) {
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    unsetenv("RAYHEIGHT_TEST_DISPLAY");
  }
}

TEST_F(WindowFailureTest, ThrowErrorEndsThroughTheNormalExitPath) {
  EXPECT_EXIT(
      {
        tvxp::message_box_hook = box_to_stderr;
        g_report_destructor = true;
        Tarvex::THROWERROR("qualcosa non va");
      },
      ::testing::ExitedWithCode(0), "\\[Error\\] qualcosa non va\n(.|\n)*static destructors ran");
}

// A 16 x 16 cursor file with its hot spot at (3, 5).
const std::string& cursor_file() {
  static std::string path;
  if (path.empty()) {
    path = "/tmp/tvx-window-test-" + std::to_string(getpid()) + ".cur";
    std::vector<uint8_t> rgba(16 * 16 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i + 3] = (i / 4) % 3 ? 255 : 0;
    imageio::write_file(path, imageio::build_icon(rgba.data(), 16, 16, true, 3, 5));
  }
  return path;
}

struct ClassCase {
  int32_t cursor_code;
  const char* cursor_file;
  int32_t icon_code;
  const char* expected;
};

// The class gets the cursor and icon of its codes; unknown codes and files
// that cannot be loaded give none, without an error.
TEST_F(WindowFailureTest, CursorAndIconCodesOfTheWindowClass) {
  TVX_REQUIRE_DISPLAY();
  const ClassCase cases[] = {
      {Tarvex::ARROW, "", Tarvex::GENERIC, "cursor 1 icon 1"},
      {Tarvex::HELP, "", Tarvex::GENERIC, "cursor 1 icon 1"},
      {0, "", 3, "cursor 0 icon 0"},
      {17, "", Tarvex::GENERIC, "cursor 0 icon 1"},
      {Tarvex::FILECURSOR, "", Tarvex::GENERIC, "cursor 0 icon 1"},
      {Tarvex::FILECURSOR, "/nonexistent/x.cur", Tarvex::FILEICON, "cursor 0 icon 0"},
      {Tarvex::FILECURSOR, cursor_file().c_str(), Tarvex::FILEICON, "cursor 1 icon 1"},
  };
  for (const ClassCase& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EXIT(
        {
          Tarvex::OGLWINDOWSETTING(c.cursor_code, c.cursor_file, c.icon_code, c.cursor_file);
          bool ok = Tarvex::WINDOWREGISTER();
          tvxp::WNDCLASS cls;
          tvxp::get_class_info("GLWindow", &cls);
          std::fprintf(stderr, "registered %d cursor %d icon %d\n", ok, cls.cursor != 0, cls.icon != 0);
          std::exit(0);
        },
        ::testing::ExitedWithCode(0), std::string("registered 1 ") + c.expected);
  }
}

TEST_F(WindowFailureTest, SettingsBeforeAnyContextMakeNoList) {
  Tarvex::OGLWINDOWSETTING(Tarvex::ARROW, "", Tarvex::GENERIC, "");
  EXPECT_EQ(Tarvex::OBJNULL, 0u);
}

}  // namespace
