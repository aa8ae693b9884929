// The real demo with texture files missing or unreadable: it keeps running
// with those surfaces untextured, and a bad TGA shows the reader's message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "demo_program.h"
#include "x_driver.h"

namespace {

namespace fs = std::filesystem;


bool is_brick(unsigned p) {
  int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return r > g + 30 && r > b + 30;
}

class DemoTexturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* d = std::getenv("DISPLAY");
    ASSERT_TRUE(d && *d) << "no X display: run the tests under Xvfb (./test.sh does)";
    dir_ = fs::temp_directory_path() / ("rayheight-textures-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (tvx_e2e::running(program_)) tvx_e2e::wait_exit(program_, 0);
    fs::remove_all(dir_);
  }
  void copy(const char* name) { fs::copy_file(tvx_e2e::demo_bin_dir() / name, dir_ / name); }
  void write(const char* name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  void start_and_answer_no() {
    program_ = tvx_e2e::start(RAYHEIGHT_BIN, dir_.string(), {"vblank_mode=0"});
    tvx_e2e::WindowInfo box;
    ASSERT_TRUE(tvx_e2e::find_window("Video!", 10, &box)) << tvx_e2e::read_stderr(program_);
    tvx_e2e::sleep_ms(100);
    tvx_e2e::tap("n");
  }
  // Answers the reader's message box, which comes before the first frame.
  void answer_message(const char* caption) {
    tvx_e2e::WindowInfo box;
    ASSERT_TRUE(tvx_e2e::find_window(caption, 10, &box)) << tvx_e2e::read_stderr(program_);
    tvx_e2e::sleep_ms(100);
    tvx_e2e::tap("Return");
    ASSERT_TRUE(tvx_e2e::window_gone(caption, 5));
  }
  unsigned ground_pixel() {
    tvx_e2e::WindowInfo w;
    EXPECT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 10, &w));
    tvx_e2e::sleep_ms(400);
    EXPECT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 1, &w));
    return tvx_e2e::pixel(w.id, 400, 503);  // the ground in front of the ball
  }
  void end() {
    EXPECT_TRUE(tvx_e2e::running(program_));
    tvx_e2e::tap("Escape");
    EXPECT_EQ(tvx_e2e::wait_exit(program_, 10), 0) << tvx_e2e::read_stderr(program_);
  }

  fs::path dir_;
  tvx_e2e::Program program_;
};

TEST_F(DemoTexturesTest, AllFilesGiveTheBrickGround) {
  copy("wall02.bmp");
  copy("stoneblocks.bmp");
  copy("erba01.tga");
  start_and_answer_no();
  EXPECT_TRUE(is_brick(ground_pixel()));
  end();
}

TEST_F(DemoTexturesTest, MissingFilesLeaveTheirSurfacesUntexturedWithoutAMessage) {
  copy("stoneblocks.bmp");
  start_and_answer_no();
  unsigned p = ground_pixel();
  EXPECT_FALSE(is_brick(p));
  EXPECT_NE(p, 0u) << "the untextured ground is still lit and drawn";
  EXPECT_FALSE(tvx_e2e::find_window("ERROR", 0.2, nullptr));
  end();
}

TEST_F(DemoTexturesTest, RandomBytesTgaShowsItsMessageAndTheDemoRuns) {
  copy("wall02.bmp");
  copy("stoneblocks.bmp");
  std::mt19937 gen(7);
  std::string junk(4096, '\0');
  for (char& c : junk) c = static_cast<char>(gen());
  write("erba01.tga", junk);
  start_and_answer_no();
  answer_message("Invalid Image");
  EXPECT_TRUE(is_brick(ground_pixel()));
  end();
}

TEST_F(DemoTexturesTest, TruncatedFilesShowOneMessageAndTheDemoRuns) {
  std::ifstream tga(tvx_e2e::demo_bin_dir() / "erba01.tga", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(tga)), std::istreambuf_iterator<char>());
  write("erba01.tga", bytes.substr(0, bytes.size() / 2));
  std::ifstream bmp(tvx_e2e::demo_bin_dir() / "wall02.bmp", std::ios::binary);
  std::string wall((std::istreambuf_iterator<char>(bmp)), std::istreambuf_iterator<char>());
  write("wall02.bmp", wall.substr(0, wall.size() / 3));
  copy("stoneblocks.bmp");
  start_and_answer_no();
  answer_message("ERROR");
  EXPECT_FALSE(is_brick(ground_pixel()));
  EXPECT_FALSE(tvx_e2e::find_window("ERROR", 0.2, nullptr)) << "one message only";
  end();
}

}  // namespace
