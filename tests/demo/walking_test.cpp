// The demo's logic frame by frame, headless: walking, heights, collisions,
// the debug toggle and the grass probes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include <tarvex/input.h>

#include "demo.h"

namespace {

using namespace rayheight;

void hold(const std::string& keys) {
  std::memset(Tarvex::SETKEY, 0, sizeof Tarvex::SETKEY);
  for (char k : keys) Tarvex::SETKEY[static_cast<unsigned char>(k)] = -1;
}

// The walker standing at rest on a surface of the given height, as after
// many frames there.
void stand(float x, float z, float height) {
  P1 = {x, -1, z};
  P2 = {x, 15, z};
  P = {x, height, z};
  TMEP = {x, height + 2, z};
  TMEP1 = {x, height + 2.25f, z};
  CHECKCOLL = false;
}

class WalkingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_DEMO_STATE();
    hold("");
  }
  void TearDown() override { hold(""); }
  // Runs frames with `keys` held until `done` or `limit` frames.
  template <typename Done>
  int run_until(const std::string& keys, int limit, Done done) {
    hold(keys);
    for (int n = 1; n <= limit; ++n) {
      LOGIC_FRAME();
      if (done()) return n;
    }
    return -1;
  }
};

TEST_F(WalkingTest, FirstFramesStandOnTheGround) {
  LOGIC_FRAME();
  EXPECT_EQ(P.X, 0);
  EXPECT_EQ(P.Y, 0);
  EXPECT_EQ(P.Z, 0);
  EXPECT_EQ(TMEP.Y, 2);
  EXPECT_EQ(TMEP1.Y, 2.25f);
  EXPECT_FALSE(CHECKCOLL);
  P = {9, 9, 9};  // the second frame finds the ground itself
  LOGIC_FRAME();
  EXPECT_EQ(P.Y, 0);
  EXPECT_EQ(P.X, 0);
  EXPECT_EQ(P.Z, 0);
  EXPECT_EQ(TMEP.Y, 2);
}

TEST_F(WalkingTest, ClimbsTheFirstRampOntoTheWalkway) {
  stand(-5, 5, 0);
  int n = run_until("S", 40, [] { return P1.Z >= 6.05f; });
  ASSERT_GT(n, 0);
  EXPECT_NEAR(P1.Z, 6.1f, 1e-4);
  EXPECT_NEAR(P.Y, 2.0f / 3, 1e-5);
  EXPECT_FALSE(CHECKCOLL);
  // On along the ramp towards +X: the walker rises with it.
  float last = P.Y;
  n = run_until("D", 100, [&] {
    EXPECT_GE(P.Y, last - 1e-5f);
    EXPECT_FALSE(CHECKCOLL);
    last = P.Y;
    return P1.X > 0.05f;
  });
  ASSERT_GT(n, 0);
  LOGIC_FRAME();
  EXPECT_FLOAT_EQ(P.Y, 4);
}

TEST_F(WalkingTest, PassesUnderTheWalkway) {
  stand(5, 0, 0);
  int n = run_until("S", 200, [] {
    EXPECT_EQ(P.Y, 0);
    EXPECT_FALSE(CHECKCOLL);
    return false;
  });
  EXPECT_EQ(n, -1);
  EXPECT_GT(P1.Z, 9);
}

TEST_F(WalkingTest, DropsOffTheWalkwayInOneFrame) {
  stand(5, 6.5f, 4);
  int n = run_until("W", 20, [] { return P1.Z < 5.95f; });
  ASSERT_GT(n, 0);
  EXPECT_NEAR(P1.Z, 5.9f, 1e-4);
  EXPECT_EQ(P.Y, 0);
  EXPECT_FALSE(CHECKCOLL);
}

TEST_F(WalkingTest, StepsOntoTheSecondRampAndPassesBeneathIt) {
  stand(5, -3, 4);
  int n = run_until("W", 60, [] { return P1.Z <= -6.05f; });
  ASSERT_GT(n, 0);
  EXPECT_NEAR(P.Y, 14.0f / 3, 1e-4);
  stand(1, -3, 4);
  n = run_until("W", 80, [] {
    EXPECT_EQ(P.Y, 4);
    EXPECT_FALSE(CHECKCOLL);
    return false;
  });
}

TEST_F(WalkingTest, BouncesUnderTheSecondRampAtXTwoPointNine) {
  stand(2.9f, -3, 4);
  int n = run_until("W", 60, [] { return CHECKCOLL; });
  ASSERT_GT(n, 0);
  EXPECT_NEAR(P1.Z, -6.1f, 1e-4);
  LOGIC_FRAME();  // pushed back
  EXPECT_NEAR(P1.Z, -5.85f, 1e-4);
  // While W is held it keeps bouncing there without passing.
  for (int i = 0; i < 100; ++i) {
    LOGIC_FRAME();
    EXPECT_GT(P1.Z, -6.2f);
    EXPECT_EQ(P.Y, 4);
  }
}

TEST_F(WalkingTest, BumpsIntoTheFirstRampFromBelow) {
  stand(-2.8f, 5, 0);
  int n = run_until("S", 40, [] { return CHECKCOLL; });
  ASSERT_GT(n, 0);
  EXPECT_NEAR(P1.Z, 6.1f, 1e-4);
  LOGIC_FRAME();
  EXPECT_NEAR(P1.Z, 5.85f, 1e-4);
}

TEST_F(WalkingTest, HoldingWStopsJustPastTheBound) {
  hold("W");
  for (int i = 0; i < 90; ++i) LOGIC_FRAME();
  EXPECT_GT(P1.Z, -9) << "rounding leaves Z just above -9";
  LOGIC_FRAME();
  EXPECT_NEAR(P1.Z, -9.1f, 1e-4);
  const float stop = P1.Z;
  for (int i = 0; i < 20; ++i) LOGIC_FRAME();
  EXPECT_EQ(P1.Z, stop);
  EXPECT_EQ(P2.Z, stop);
  EXPECT_EQ(P.Y, 0);
}

TEST_F(WalkingTest, EachKeyAloneStopsPastItsBound) {
  struct Row {
    const char* key;
    float* axis;
    float end;
  } rows[] = {{"S", &P1.Z, 9.1f}, {"D", &P1.X, 9.1f}, {"A", &P1.X, -9.1f}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    RESET_DEMO_STATE();
    hold(r.key);
    for (int i = 0; i < 120; ++i) LOGIC_FRAME();
    EXPECT_NEAR(*r.axis, r.end, 1e-4);
    EXPECT_EQ(P.Y, 0);
  }
}

TEST_F(WalkingTest, OppositeKeysCancel) {
  hold("SW");
  for (int i = 0; i < 50; ++i) LOGIC_FRAME();
  EXPECT_NEAR(P1.Z, 0, 1e-5);
  // Just over the bound only W acts.
  stand(0, 9.05f, 0);
  hold("SW");
  LOGIC_FRAME();
  EXPECT_NEAR(P1.Z, 8.95f, 1e-5);
}

TEST_F(WalkingTest, ZHeldFlipsTheDebugViewEveryFrame) {
  hold("Z");
  LOGIC_FRAME();
  EXPECT_TRUE(DEBUG);
  LOGIC_FRAME();
  EXPECT_FALSE(DEBUG);
  LOGIC_FRAME();
  EXPECT_TRUE(DEBUG);
}

TEST_F(WalkingTest, PushBackFollowsTheKeyHeldNow) {
  stand(0, 0, 0);
  CHECKCOLL = true;
  hold("");
  OPENGL_KEYBOARD();
  EXPECT_EQ(P1.Z, 0);
  EXPECT_EQ(P1.X, 0);
  CHECKCOLL = true;
  hold("S");
  OPENGL_KEYBOARD();
  EXPECT_EQ(P1.Z, -0.25f);
  EXPECT_EQ(P2.Z, -0.25f);
}

TEST_F(WalkingTest, GrassProbesStandOnTheHighestSurface) {
  LOGIC_FRAME();
  EXPECT_EQ(PP[0][0].X, 0);
  EXPECT_EQ(PP[0][0].Y, 0);
  EXPECT_EQ(PP[0][0].Z, -1);
  EXPECT_EQ(PP[0][1].Y, 4);   // on the border of walkway quad 5
  EXPECT_EQ(PP[0][2].Y, 8);   // a corner of quads 4, 6 and 7: the last crossed
  EXPECT_EQ(GETRAYHIGH(15, 4, 2), 6);
  EXPECT_EQ(GETRAYHIGH(0, 4, 2), 6);
}

}  // namespace
