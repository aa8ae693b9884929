// Long runs of the real demo under scripted input: walking keys alone and in
// chords, the debug switch, mouse drags that leave the window while it holds
// the pointer, and a backlog of pointer moves worked off one per frame. Frames
// are counted from outside by a preloaded counter of presents. In a sanitizer
// build the demo is the sanitized one, and any report fails the run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "soak_input.h"
#include "demo_program.h"
#include "x_driver.h"

namespace {

namespace fs = std::filesystem;

// Where the window is put, so that the pointer can leave it on every side.
const int WINDOW_X = 200;
const int WINDOW_Y = 150;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Soak {
 public:
  explicit Soak(const std::string& tag) {
    dir_ = fs::temp_directory_path() / ("rayheight-soak-" + tag + "-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    count_file_ = dir_ / "frames";
    std::ofstream(count_file_, std::ios::binary) << std::string(sizeof(uint64_t), '\0');
  }
  ~Soak() {
    if (tvx_e2e::running(program_)) tvx_e2e::wait_exit(program_, 0);
    if (!program_.stderr_path.empty()) fs::remove(program_.stderr_path);
    fs::remove_all(dir_);
  }
  const fs::path& dir() const { return dir_; }
  tvx_e2e::Program& program() { return program_; }

  void start() {
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::string asan_options = asan && *asan ? std::string(asan) + ":" : std::string();
    // The counter is preloaded ahead of the sanitizer runtime.
    asan_options += "verify_asan_link_order=0";
    program_ = tvx_e2e::start(RAYHEIGHT_BIN, dir_.string(),
                              {"vblank_mode=0", std::string("LD_PRELOAD=") + FRAME_COUNTER_LIB,
                               "TVX_FRAME_COUNT_FILE=" + count_file_.string(), "ASAN_OPTIONS=" + asan_options});
  }

  uint64_t frames() const {
    uint64_t n = 0;
    int fd = open(count_file_.c_str(), O_RDONLY);
    if (fd >= 0) {
      if (pread(fd, &n, sizeof n, 0) != static_cast<ssize_t>(sizeof n)) n = 0;
      close(fd);
    }
    return n;
  }

  // Waits for the count to reach `target` while the demo runs.
  bool reach(uint64_t target, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (frames() < target) {
      if (!tvx_e2e::running(program_) || std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  // Lets `n` more frames pass, so that what was sent before has been handled.
  void advance(int n) {
    uint64_t target = frames() + static_cast<uint64_t>(n);
    ASSERT_TRUE(reach(target, 60)) << "stuck at frame " << frames() << " of " << target << "\n" << stderr_text();
  }

  std::string stderr_text() const { return tvx_e2e::read_stderr(program_); }

  void answer_question_no() {
    tvx_e2e::WindowInfo box;
    ASSERT_TRUE(tvx_e2e::find_window("Video!", 30, &box)) << stderr_text();
    tvx_e2e::sleep_ms(100);
    tvx_e2e::tap("n");
    ASSERT_TRUE(tvx_e2e::window_gone("Video!", 10)) << "the answer did not reach the question\n" << stderr_text();
  }

  // Finds the demo's window, gives it the keyboard and moves it off the
  // screen's corner.
  void take_window() {
    ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 30, &window_)) << stderr_text();
    ASSERT_EQ(window_.width, 800);
    ASSERT_EQ(window_.height, 600);
    tvx_soak::move_window(window_.id, WINDOW_X, WINDOW_Y);
    for (int i = 0; i < 100 && (window_.x != WINDOW_X || window_.y != WINDOW_Y); ++i) {
      tvx_e2e::sleep_ms(20);
      ASSERT_TRUE(tvx_e2e::find_window(tvx_e2e::DEMO_TITLE, 5, &window_));
    }
    ASSERT_EQ(window_.x, WINDOW_X);
    ASSERT_EQ(window_.y, WINDOW_Y);
    tvx_e2e::focus(window_.id);
    ASSERT_TRUE(reach(1, 60)) << "no frame presented\n" << stderr_text();
  }

  // Points are in the window's client coordinates, and may lie outside it.
  void pointer_at(int x, int y) { tvx_e2e::move_pointer(window_.x + x, window_.y + y); }

  void walk_and_toggle() {
    const std::vector<std::vector<const char*>> chords = {
        {"w"}, {"s"}, {"a"}, {"d"}, {"w", "a"}, {"w", "d"}, {"s", "a"}, {"s", "d"},
        {"w", "s"}, {"a", "d"}, {"w", "s", "a", "d"}, {"w"}, {"a", "d", "s"}};
    for (const auto& chord : chords) {
      for (const char* k : chord) tvx_e2e::key_down(k);
      advance(30);
      for (const char* k : chord) tvx_e2e::key_up(k);
      advance(3);
    }
    // Held for one to four frames, the switch flips once per frame; every
    // fourth press starts a walk that ends three presses later.
    for (int i = 0; i < 24; ++i) {
      if (i % 4 == 0) tvx_e2e::key_down("w");
      tvx_e2e::key_down("z");
      advance(1 + i % 4);
      tvx_e2e::key_up("z");
      advance(2);
      if (i % 4 == 3) tvx_e2e::key_up("w");
    }
  }

  // A drag through the window and past all four of its edges, released
  // outside it.
  void drag(const std::vector<int>& buttons) {
    const std::vector<std::pair<int, int>> path = {
        {450, 300}, {520, 360}, {799, 599}, {900, 700}, {1000, 650}, {850, -60}, {400, -120},
        {-50, 300}, {-150, -100}, {-199, -149}, {-120, 500}, {300, 800}, {600, 450}, {-100, -100}};
    pointer_at(400, 300);
    advance(2);
    for (int b : buttons) {
      tvx_e2e::button(b, true);
      advance(2);
    }
    for (auto [x, y] : path) {
      pointer_at(x, y);
      advance(2);
    }
    for (int b : buttons) {
      tvx_e2e::button(b, false);
      advance(2);
      pointer_at(700, 100);
      advance(2);
    }
  }

  void script() {
    walk_and_toggle();
    if (::testing::Test::HasFatalFailure()) return;
    drag({1});
    if (::testing::Test::HasFatalFailure()) return;
    drag({3});
    if (::testing::Test::HasFatalFailure()) return;
    drag({1, 3});
    if (::testing::Test::HasFatalFailure()) return;
    drag({3, 1});
  }

  // A left drag made of `moves` queued pointer moves, then the wait for the
  // count to pass both the end of the backlog and `mark`.
  void backlog(int moves, uint64_t mark) {
    pointer_at(400, 300);
    advance(2);
    tvx_e2e::button(1, true);
    advance(2);
    uint64_t begin = frames();
    tvx_soak::motion_burst(window_.x + 100, window_.y + 100, 600, 400, moves);
    uint64_t target = std::max(mark, begin + static_cast<uint64_t>(moves));
    ASSERT_TRUE(reach(target, 480)) << "stuck at frame " << frames() << " of " << target << "\n" << stderr_text();
    tvx_e2e::button(1, false);
    advance(2);
  }

  void end_and_check(uint64_t mark) {
    ASSERT_TRUE(tvx_e2e::running(program_));
    tvx_e2e::tap("Escape");
    int status = tvx_e2e::wait_exit(program_, 120);
    std::string err = stderr_text();
    EXPECT_EQ(status, 0) << err;
    for (const char* report : {"ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer"})
      EXPECT_EQ(err.find(report), std::string::npos) << err;
    EXPECT_GE(frames(), mark);
    std::printf("frames presented: %llu\n", static_cast<unsigned long long>(frames()));
  }

 private:
  fs::path dir_;
  fs::path count_file_;
  tvx_e2e::Program program_;
  tvx_e2e::WindowInfo window_;
};

void copy_images(const fs::path& to, const std::string& except = "") {
  for (const char* name : {"wall02.bmp", "stoneblocks.bmp", "erba01.tga"})
    if (name != except) fs::copy_file(tvx_e2e::demo_bin_dir() / name, to / name);
}

void require_display() {
  const char* d = std::getenv("DISPLAY");
  ASSERT_TRUE(d && *d) << "no X display: run the tests under Xvfb (./test.sh does)";
}

TEST(SoakTest, TenThousandFramesOfKeysDragsAndABacklogOfMovesEndCleanly) {
  require_display();
  const uint64_t MARK = 10000;
  Soak soak("input");
  copy_images(soak.dir());
  soak.start();
  soak.answer_question_no();
  if (HasFatalFailure()) return;
  soak.take_window();
  if (HasFatalFailure()) return;
  soak.script();
  if (HasFatalFailure()) return;
  soak.backlog(10000, MARK);
  if (HasFatalFailure()) return;
  soak.end_and_check(MARK);
}

enum class Fault { MISSING, TRUNCATED, RANDOM };

struct FaultCase {
  const char* name;
  const char* file;
  Fault fault;
  const char* caption;  // the reader's message, or null when none may show
};

const FaultCase FAULT_CASES[] = {
    {"WallMissing", "wall02.bmp", Fault::MISSING, nullptr},
    {"WallTruncated", "wall02.bmp", Fault::TRUNCATED, nullptr},
    {"WallRandom", "wall02.bmp", Fault::RANDOM, nullptr},
    {"StoneMissing", "stoneblocks.bmp", Fault::MISSING, nullptr},
    {"StoneTruncated", "stoneblocks.bmp", Fault::TRUNCATED, nullptr},
    {"StoneRandom", "stoneblocks.bmp", Fault::RANDOM, nullptr},
    {"GrassMissing", "erba01.tga", Fault::MISSING, nullptr},
    {"GrassTruncated", "erba01.tga", Fault::TRUNCATED, "ERROR"},
    {"GrassRandom", "erba01.tga", Fault::RANDOM, "Invalid Image"},
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class SoakTextureFaultTest : public ::testing::TestWithParam<FaultCase> {};

bool any_reader_message() {
  return tvx_e2e::find_window("ERROR", 0.2, nullptr) || tvx_e2e::find_window("Invalid Image", 0.2, nullptr);
}

TEST_P(SoakTextureFaultTest, TheDemoRunsOnAndEndsCleanly) {
  require_display();
  const FaultCase& c = GetParam();
  // Fewer frames than the long run, so that nine of them stay affordable
  // under the sanitizers.
  const uint64_t MARK = 3000;
  Soak soak(c.name);
  copy_images(soak.dir(), c.file);
  std::string original = read_file(tvx_e2e::demo_bin_dir() / c.file);
  ASSERT_GT(original.size(), 64u);
  if (c.fault == Fault::TRUNCATED) {
    std::ofstream(soak.dir() / c.file, std::ios::binary) << original.substr(0, original.size() / 2);
  } else if (c.fault == Fault::RANDOM) {
    std::mt19937 gen(7);
    std::string junk(original.size(), '\0');
    for (char& ch : junk) ch = static_cast<char>(gen());
    std::ofstream(soak.dir() / c.file, std::ios::binary) << junk;
  }
  soak.start();
  soak.answer_question_no();
  if (HasFatalFailure()) return;
  if (c.caption) {
    tvx_e2e::WindowInfo box;
    ASSERT_TRUE(tvx_e2e::find_window(c.caption, 30, &box)) << soak.stderr_text();
    EXPECT_EQ(soak.frames(), 0u) << "the message comes before the first frame";
    tvx_e2e::sleep_ms(100);
    tvx_e2e::tap("Return");
    ASSERT_TRUE(tvx_e2e::window_gone(c.caption, 10));
  }
  soak.take_window();
  if (HasFatalFailure()) return;
  EXPECT_FALSE(any_reader_message()) << (c.caption ? "one message only" : "no message for this file");
  soak.script();
  if (HasFatalFailure()) return;
  soak.backlog(2500, MARK);
  if (HasFatalFailure()) return;
  soak.end_and_check(MARK);
}

INSTANTIATE_TEST_SUITE_P(Files, SoakTextureFaultTest, ::testing::ValuesIn(FAULT_CASES),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
