// The command as a user runs it: script from arguments or standard input,
// files, exit statuses, and an SVG that is well formed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string out, err;
};

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class TraceTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trace_tool_test." + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // `args` is shell text; `input` goes to standard input.
  ToolRun run(const std::string& args, const std::string& input = "") {
    std::ofstream(dir / "in") << input;
    const std::string cmd = "cd '" + dir.string() + "' && '" TRACE_TOOL "' " + args + " <in >out 2>err";
    const int s = std::system(cmd.c_str());
    return {WIFEXITED(s) ? WEXITSTATUS(s) : -1, slurp(dir / "out"), slurp(dir / "err")};
  }

  fs::path dir;
};

int count(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> v;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

TEST_F(TraceTool, ScriptFromArgumentsOrStandardInputGivesTheSameTrace) {
  const ToolRun a = run("'W*3' SD*2 '# comment' . z");
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.err, "");
  const std::vector<std::string> l = lines(a.out);
  ASSERT_EQ(l.size(), 1u + 7);
  EXPECT_EQ(l[0], "frame,keys,column_x,column_z,p_x,p_y,p_z,eye_x,eye_y,eye_z,checkcoll,debug");
  EXPECT_EQ(l[1], "1,W,0,-0.1,0,0,0,0,2,-0.1,0,0");
  EXPECT_EQ(l[4].substr(0, 5), "4,SD,");
  EXPECT_EQ(l[6].substr(0, 4), "6,-,");
  EXPECT_EQ(l[7].back(), '1');  // Z turned the debug view on

  const ToolRun b = run("", "W*3 # walk\nSD*2\n. Z\n");
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(b.out, a.out);
}

TEST_F(TraceTool, BadScriptIsExitStatusTwoAndWritesNothing) {
  for (const char* args : {"W*3 X -o t.csv --svg t.svg", "-o t.csv --svg t.svg W*2000000", "-o t.csv W*"}) {
    SCOPED_TRACE(args);
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("bad entry"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "t.csv"));
    EXPECT_FALSE(fs::exists(dir / "t.svg"));
  }
  const ToolRun r = run("", "W\nS X\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("\"X\" at line 2, column 3"), std::string::npos) << r.err;
}

TEST_F(TraceTool, BadOptionsAreExitStatusTwo) {
  for (const char* args : {"--frobnicate W", "W -o", "--svg", "-o same W --svg same"}) {
    SCOPED_TRACE(args);
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
  }
}

TEST_F(TraceTool, UnwritableFilesAreExitStatusOne) {
  for (const char* args : {"W -o no/such/dir/t.csv", "W --svg no/such/dir/t.svg", "W -o t.csv --svg no/t.svg"}) {
    SCOPED_TRACE(args);
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "t.csv"));
  }
  // A full device: the write itself fails.
  const ToolRun r = run("W*5000 -o /dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("failed"), std::string::npos) << r.err;
}

TEST_F(TraceTool, HelpShowsUsage) {
  const ToolRun r = run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("usage: rayheight-trace", 0), 0u) << r.out;
}

// Every element closed in the order opened: enough to show the file is well
// formed for a writer that escapes its text.
bool tags_balance(const std::string& s, std::string* why) {
  std::vector<std::string> open;
  for (size_t at = s.find('<'); at != std::string::npos; at = s.find('<', at + 1)) {
    const size_t end = s.find('>', at);
    if (end == std::string::npos) return *why = "unterminated tag", false;
    const std::string tag = s.substr(at + 1, end - at - 1);
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
    if (tag.back() == '/') continue;
    const std::string name = tag.substr(tag[0] == '/', tag.find_first_of(" \n\t") - (tag[0] == '/'));
    if (tag[0] != '/') {
      open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return *why = "</" + name + "> closes " + (open.empty() ? "nothing" : open.back()), false;
    } else {
      open.pop_back();
    }
  }
  if (!open.empty()) return *why = "<" + open.back() + "> left open", false;
  return true;
}

TEST_F(TraceTool, SvgShowsTheLevelThePathAndTheBumps) {
  const ToolRun r = run("--svg walk.svg -o walk.csv A*28 S*70");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(lines(slurp(dir / "walk.csv")).size(), 1u + 98);
  const std::string svg = slurp(dir / "walk.svg");
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  std::string why;
  EXPECT_TRUE(tags_balance(svg, &why)) << why;
  EXPECT_EQ(count(svg, "<polyline"), 1);
  EXPECT_EQ(count(svg, "<polygon"), 8);
  EXPECT_NE(svg.find("A*28 S*70"), std::string::npos);
  // The 36 grass dots and the two ramps' shading.
  const size_t grass = svg.find("<g id=\"grass\"");
  ASSERT_NE(grass, std::string::npos);
  EXPECT_EQ(count(svg.substr(grass, svg.find("</g>", grass) - grass), "<circle"), 36);
  EXPECT_EQ(count(svg, "<g id=\"ramp"), 2);
  // The bump frames are marked (three here, at distinct places).
  const size_t bumps = svg.find("<g id=\"collisions\"");
  ASSERT_NE(bumps, std::string::npos);
  EXPECT_EQ(count(svg.substr(bumps, svg.find("</g>", bumps) - bumps), "<path"), 3);
  EXPECT_NE(svg.find("id=\"start\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"end\""), std::string::npos);
}

}  // namespace
