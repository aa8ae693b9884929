// The generated demo textures, read back by the readers the demo itself
// uses: sizes and depths, the grass's hard-edged alpha and its row order,
// and byte-for-byte repeatability.
#include <tarvex/tga.h>
#include <tvxp/bmp.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

constexpr int SIZE = 256;

std::vector<uint8_t> slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string fresh_dir() {
  char name[] = "/tmp/imagegen_tests_XXXXXX";
  const char* made = mkdtemp(name);
  return made ? made : "";
}

int run_generator(const std::string& args) {
  const int status = std::system((std::string("'") + IMAGEGEN_PROGRAM + "' " + args + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Generated : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    first_ = new std::string(fresh_dir());
    second_ = new std::string(fresh_dir());
    ASSERT_EQ(run_generator("'" + *first_ + "'"), 0);
    ASSERT_EQ(run_generator("'" + *second_ + "'"), 0);
  }
  static void TearDownTestSuite() {
    for (std::string* dir : {first_, second_}) {
      for (const char* f : {"wall02.bmp", "stoneblocks.bmp", "erba01.tga"}) std::remove((*dir + "/" + f).c_str());
      rmdir(dir->c_str());
      delete dir;
    }
  }
  static std::string path(const char* file) { return *first_ + "/" + file; }

  static std::string* first_;
  static std::string* second_;
};
std::string* Generated::first_;
std::string* Generated::second_;

TEST_F(Generated, BmpTexturesDecodeAs24BitBottomUpSquares) {
  for (const char* file : {"wall02.bmp", "stoneblocks.bmp"}) {
    SCOPED_TRACE(file);
    tvxp::DibImage image{};
    const char* why = nullptr;
    ASSERT_TRUE(tvxp::read_bmp_file(path(file).c_str(), &image, &why)) << (why ? why : "");
    EXPECT_EQ(image.width, SIZE);
    EXPECT_EQ(image.height, SIZE);
    EXPECT_EQ(image.bits, 24);
    EXPECT_FALSE(image.top_down);
    EXPECT_EQ(image.stride, uint32_t(SIZE * 3));
    // The textures repeat across the level, so the step from the last
    // column to the first (and last row to first) must look like any step
    // between neighbours inside the picture.
    auto at = [&](int x, int y, int c) { return int(image.pixels[size_t(y) * image.stride + size_t(x) * 3 + c]); };
    // Summed colour difference between columns a and b, or rows a and b.
    auto step = [&](bool columns, int a, int b) {
      double sum = 0;
      for (int i = 0; i < SIZE; ++i)
        for (int c = 0; c < 3; ++c)
          sum += columns ? std::abs(at(a, i, c) - at(b, i, c)) : std::abs(at(i, a, c) - at(i, b, c));
      return sum;
    };
    double inside = 0;
    for (int k = 1; k < SIZE; ++k) inside += step(true, k - 1, k) + step(false, k - 1, k);
    inside /= 2 * (SIZE - 1);
    EXPECT_LT(step(true, SIZE - 1, 0), 2.0 * inside) << "seam between the right and left edges";
    EXPECT_LT(step(false, SIZE - 1, 0), 2.0 * inside) << "seam between the top and bottom edges";
    EXPECT_GT(inside, SIZE * 3 * 2.0) << "a flat fill, not a picture";
    tvxp::free_dib(&image);
  }
}

TEST_F(Generated, GrassIsAPlainBottomUp32BitTgaThatTheTextureReaderAccepts) {
  const std::vector<uint8_t> bytes = slurp(path("erba01.tga"));
  ASSERT_GE(bytes.size(), 18u);
  EXPECT_EQ(bytes[2], 2);            // plain true-colour
  EXPECT_EQ(bytes[16], 32);          // with alpha
  EXPECT_EQ(bytes[17] & 0x20, 0);    // bottom row stored first

  tvx_test::record_boxes(0);
  Tarvex::TGATEXTURE texture{};
  const bool ok = Tarvex::LOADTGA(texture, path("erba01.tga").c_str());
  tvx_test::stop_recording_boxes();
  ASSERT_TRUE(ok);
  EXPECT_TRUE(tvx_test::boxes().empty());
  EXPECT_EQ(texture.WIDTH, uint32_t(SIZE));
  EXPECT_EQ(texture.HEIGHT, uint32_t(SIZE));
  EXPECT_EQ(texture.BPP, 32u);
  EXPECT_EQ(texture.TYP, 0x1908u);  // GL_RGBA

  // Rows come in file order, so row 0 is what the billboard shows at its
  // bottom edge (t = 0): the blades' roots. The top row must be empty.
  auto alpha = [&](int x, int row) { return texture.IMAGEDATA[(size_t(row) * SIZE + x) * 4 + 3]; };
  int soft = 0, opaque = 0, bottom = 0, top = 0;
  for (int row = 0; row < SIZE; ++row)
    for (int x = 0; x < SIZE; ++x) {
      const uint8_t a = alpha(x, row);
      if (a != 0 && a != 255) ++soft;
      if (a == 255) ++opaque;
      if (a == 255 && row == 0) ++bottom;
      if (a != 0 && row == SIZE - 1) ++top;
    }
  EXPECT_EQ(soft, 0) << "texels with an alpha between 0 and 255";
  EXPECT_GT(bottom, SIZE / 4);
  EXPECT_EQ(top, 0);
  // A tuft, neither a speck nor a solid block.
  EXPECT_GT(opaque, SIZE * SIZE / 8);
  EXPECT_LT(opaque, SIZE * SIZE * 3 / 4);
  std::free(texture.IMAGEDATA);
}

TEST_F(Generated, TwoRunsAndTheBuildGiveTheSameBytes) {
  for (const char* file : {"wall02.bmp", "stoneblocks.bmp", "erba01.tga"}) {
    SCOPED_TRACE(file);
    const std::vector<uint8_t> first = slurp(path(file));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, slurp(*second_ + "/" + file));
    EXPECT_EQ(first, slurp(std::string(IMAGEGEN_BUILT_DIR) + "/" + file)) << "the build's copy beside the demo";
  }
}

TEST(Generator, RefusesAMissingArgumentAndAnUnwritableDirectory) {
  EXPECT_EQ(run_generator(""), 2);
  EXPECT_EQ(run_generator("/nonexistent/imagegen"), 1);
}

}  // namespace
