// The X server going away mid-run ends the demo promptly: a message on
// standard error and exit status 1, never a hang.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "demo_program.h"
#include "x_driver.h"

namespace {


TEST(ServerLoss, DemoEndsWithStatusOneAndAMessage) {
  // A server of its own, so that killing it takes nobody else's windows.
  int n = 300 + static_cast<int>(getpid() % 400);
  struct stat st;
  while (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) == 0) ++n;
  std::string display = ":" + std::to_string(n);
  pid_t server = fork();
  ASSERT_GE(server, 0);
  if (server == 0) {
    execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 250 && stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) != 0; ++i) usleep(20000);
  usleep(100000);
  setenv("DISPLAY", display.c_str(), 1);

  tvx_e2e::Program demo = tvx_e2e::start(RAYHEIGHT_BIN, tvx_e2e::demo_bin_dir(), {"vblank_mode=0"});
  tvx_e2e::WindowInfo w;
  ASSERT_TRUE(tvx_e2e::find_window("Video!", 10, &w)) << tvx_e2e::read_stderr(demo);
  tvx_e2e::sleep_ms(100);
  tvx_e2e::tap("n");
  ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 10, &w));
  tvx_e2e::sleep_ms(300);

  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  EXPECT_EQ(tvx_e2e::wait_exit(demo, 10), 1) << "a hang is killed after 10 s";
  EXPECT_NE(tvx_e2e::read_stderr(demo).find("connection to the X server was lost"), std::string::npos)
      << tvx_e2e::read_stderr(demo);
}

}  // namespace
