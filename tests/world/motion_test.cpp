#include "world/motion.h"

#include <limits>

#include "world_fixture.h"

using Motion = WorldTest;

TEST_F(Motion, BubbleHeadingForTheRightWallStopsOnTheLimitOneStepEarly) {
  const double rx = WorldRect.Width - BubbleRadius;
  Place(1, rx - 15, 300, 10, 0);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, rx);
  EXPECT_EQ(BubbleTable[1].VX, -8);
  EXPECT_EQ(BubbleTable[1].Y, 300);
  EXPECT_EQ(BubbleTable[1].VY, 0);
}

TEST_F(Motion, LoneBubbleBouncesBetweenTheLimitsLosingAFifthOfItsSpeedAtEachWall) {
  Place(1, 500, 400, 10, 6);
  const double low = BubbleRadius;
  const double right = WorldRect.Width - BubbleRadius;
  const double bottom = WorldRect.Height - BubbleRadius;
  int bouncesX = 0;
  int bouncesY = 0;
  for (int step = 0; step < 2000; ++step) {
    const double vx = BubbleTable[1].VX;
    const double vy = BubbleTable[1].VY;
    MotionStep();
    const Bubble& b = BubbleTable[1];
    ASSERT_TRUE(b.X >= low && b.X <= right) << b.X;
    ASSERT_TRUE(b.Y >= low && b.Y <= bottom) << b.Y;
    if (b.VX != vx) {
      ASSERT_EQ(b.VX, -vx * 0.8);
      ++bouncesX;
    }
    if (b.VY != vy) {
      ASSERT_EQ(b.VY, -vy * 0.8);
      ++bouncesY;
    }
  }
  EXPECT_GE(bouncesX, 4);
  EXPECT_GE(bouncesY, 4);
}

TEST_F(Motion, LookAheadExactlyOnTheLeftLimitKeepsThePositionButStillTurnsTheBubble) {
  Place(1, BubbleRadius + 20.0, 300, -10, 0);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, BubbleRadius + 10.0);
  EXPECT_EQ(BubbleTable[1].VX, 8);
}

TEST_F(Motion, LookAheadPastTheTopLimitPutsTheBubbleOnIt) {
  Place(1, 300, BubbleRadius + 12.0, 0, -10);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].Y, BubbleRadius);
  EXPECT_EQ(BubbleTable[1].VY, 8);
}

TEST_F(Motion, FirstStepPullsABubbleLaidOutBelowTheBottomBackToTheLimit) {
  Place(1, 300, 2000, 3, 5);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].Y, WorldRect.Height - BubbleRadius);
  EXPECT_EQ(BubbleTable[1].VY, -4);
  EXPECT_EQ(BubbleTable[1].X, 303);
}

TEST_F(Motion, ColourDriftTurnsRoundAtBothBoundsOfEveryChannel) {
  Bubble& b = Place(1, 500, 400, 0, 0);
  b.Red = 250;
  b.RedStep = 16;
  b.Green = 5;
  b.GreenStep = -16;
  b.Blue = 100;
  b.BlueStep = 16;
  MotionStep();
  EXPECT_EQ(b.Red, 255);
  EXPECT_EQ(b.RedStep, -16);
  EXPECT_EQ(b.Green, 0);
  EXPECT_EQ(b.GreenStep, 16);
  EXPECT_EQ(b.Blue, 116);
  EXPECT_EQ(b.BlueStep, 16);
  MotionStep();
  EXPECT_EQ(b.Red, 239);
  EXPECT_EQ(b.Green, 16);
}

TEST_F(Motion, ExtremeColourStepsStayInsideTheChannelRange) {
  Bubble& b = Place(1, 500, 400, 0, 0);
  b.Red = 200;
  b.RedStep = std::numeric_limits<int32_t>::max();
  b.Green = 10;
  b.GreenStep = std::numeric_limits<int32_t>::min();
  MotionStep();
  EXPECT_EQ(b.Red, 255);
  EXPECT_EQ(b.RedStep, -std::numeric_limits<int32_t>::max());
  EXPECT_EQ(b.Green, 0);
  EXPECT_EQ(b.GreenStep, std::numeric_limits<int32_t>::max());
}

TEST_F(Motion, OnlyTheBubblesInUseMove) {
  Place(1, 500, 400, 3, 0);
  Place(2, 200, 400, 3, 0);
  BallsCount = 1;
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, 503);
  EXPECT_EQ(BubbleTable[2].X, 200);
  BallsCount = 0;
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, 503);
}

TEST_F(Motion, CountAboveTheTableMovesAllHundredBubbles) {
  for (int k = 1; k <= 100; ++k) Place(k, 100 + 8 * k, 400, 0, 1, false);
  BallsCount = 500;
  MotionStep();
  EXPECT_EQ(BubbleTable[100].Y, 401);
  EXPECT_EQ(BubbleTable[1].Y, 401);
}

TEST_F(Motion, RadiusLargerThanTheWorldPutsTheBubbleOnTheLeftAndTopLimitWithoutOverflow) {
  const int32_t big = std::numeric_limits<int32_t>::max();
  BubbleRadius = big;
  WorldRect = {0, 0, std::numeric_limits<int32_t>::min(), big};
  Place(1, 10, 10, 1, 1);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, big);
  EXPECT_EQ(BubbleTable[1].Y, big);
  EXPECT_EQ(BubbleTable[1].VX, -0.8);
  EXPECT_EQ(BubbleTable[1].VY, -0.8);
}

// The world must run identically natively and on Windows: a seeded layout driven by
// the motion step, the chime and the wind must end in exactly the same bits. The
// constant comes from a native run; the Windows build checks against it.
namespace {

uint64_t Fnv1a(uint64_t hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t k = 0; k < size; ++k) hash = (hash ^ bytes[k]) * 0x100000001b3ull;
  return hash;
}

template <typename T>
uint64_t Mix(uint64_t hash, T value) {
  return Fnv1a(hash, &value, sizeof value);
}

}  // namespace

TEST_F(Motion, SeededRunGivesBitIdenticalResultsOnEveryPlatform) {
  WorldRect = {0, 0, 1024, 768};
  BubbleRadius = 40;
  Restitution = 0.8;
  SoundOpen = true;
  BallsCount = 60;
  MidiLog log;
  TWindBell bell(std::make_unique<RecordingMidiPort>(log), 0);
  WindBell = &bell;
  InitBubblesWithSeed(BallsCount, 2718);
  FakeWindPlatform platform;
  TWind wind(platform);
  for (int step = 0; step < 400; ++step) {
    platform.Tick += 20;
    Fake(wind.GapTimer()).Fire();
    // Every 40 ms, faster than the pull's 50 ms pace: four firings in five pull.
    if (step % 2 == 0) Fake(wind.BlowTimer()).Fire();
    MotionStep();
  }
  uint64_t hash = 0xcbf29ce484222325ull;
  for (int k = 1; k <= BallsCount; ++k) {
    const Bubble& b = BubbleTable[k];
    for (double v : {b.X, b.Y, b.VX, b.VY}) hash = Mix(hash, v);
    for (int32_t v : {b.Red, b.Green, b.Blue, b.RedStep, b.GreenStep, b.BlueStep})
      hash = Mix(hash, v);
    hash = Mix(hash, b.Active);
  }
  for (uint32_t message : log.Messages) hash = Mix(hash, message);
  EXPECT_GT(log.Messages.size(), 10u) << "the run should have struck the chime";
  EXPECT_EQ(hash, 0x2693cd6227f4d263ull) << std::hex << hash;
}
