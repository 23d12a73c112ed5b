#include "world/motion.h"

#include <limits>

#include "world_fixture.h"

using Motion = WorldTest;

TEST_F(Motion, BubbleHeadingForTheRightWallStopsOnTheLimitOneStepEarly) {
  Place(1, 1024 - 78 - 15, 300, 10, 0);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, 1024 - 78);
  EXPECT_EQ(BubbleTable[1].VX, -8);
}

TEST_F(Motion, LookAheadOnTheLeftLimitTurnsTheBubbleAndOneBelowTheBottomPullsItBack) {
  Place(1, 78 + 20, 2000, -10, 5);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].X, 78 + 10) << "exactly on the limit: not clamped";
  EXPECT_EQ(BubbleTable[1].VX, 8);
  EXPECT_EQ(BubbleTable[1].Y, 768 - 78);
  EXPECT_EQ(BubbleTable[1].VY, -4);
}

TEST_F(Motion, ColourDriftTurnsRoundAtBothBoundsWhateverTheStep) {
  Bubble& b = Place(1, 500, 400, 0, 0);
  b.Red = 250, b.RedStep = 16, b.Green = 5, b.GreenStep = -16, b.Blue = 100, b.BlueStep = 16;
  MotionStep();
  EXPECT_EQ((std::vector{b.Red, b.RedStep, b.Green, b.GreenStep, b.Blue, b.BlueStep}),
            (std::vector{255, -16, 0, 16, 116, 16}));
  const int32_t most = std::numeric_limits<int32_t>::max();
  b.RedStep = most;
  b.GreenStep = std::numeric_limits<int32_t>::min();
  MotionStep();
  EXPECT_EQ((std::vector{b.Red, b.RedStep, b.Green, b.GreenStep}),
            (std::vector{255, -most, 0, most}));
}

TEST_F(Motion, OnlyTheBubblesInUseMoveAndNeverMoreThanTheTable) {
  Place(1, 500, 400, 3, 0);
  Place(2, 200, 400, 3, 0);
  for (int count : {1, -1, 500}) {
    BallsCount = count;
    MotionStep();
  }
  EXPECT_EQ(BubbleTable[1].X, 506);
  EXPECT_EQ(BubbleTable[2].X, 203);
}

template <typename T>
static uint64_t Mix(uint64_t hash, T value) {  // FNV-1a
  unsigned char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
  return hash;
}

// A seeded layout driven by the motion step, the chime and the wind must end in the same
// bits natively and on Windows. The constant comes from a native run.
TEST_F(Motion, SeededRunGivesBitIdenticalResultsOnEveryPlatform) {
  BubbleRadius = 40;
  SoundOpen = true;
  MidiLog log;
  TWindBell bell(std::make_unique<RecordingMidiPort>(log), 0);
  WindBell = &bell;
  BallsCount = 60;
  InitBubblesWithSeed(BallsCount, 2718);
  FakeWindPlatform platform;
  TWind wind(platform);
  for (int step = 0; step < 400; ++step) {
    platform.Tick += 20;
    Fake(wind.GapTimer()).Fire();
    if (step % 2 == 0) Fake(wind.BlowTimer()).Fire();
    MotionStep();
  }
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const Bubble& b : BubbleTable) {
    if (b.Index == 0) continue;
    for (double v : {b.X, b.Y, b.VX, b.VY}) hash = Mix(hash, v);
    for (int32_t v : {b.Red, b.Green, b.Blue, b.RedStep, b.GreenStep, b.BlueStep})
      hash = Mix(hash, v);
    hash = Mix(hash, b.Active);
  }
  for (uint32_t message : log.Messages) hash = Mix(hash, message);
  EXPECT_GT(log.Messages.size(), 10u) << "the run should have struck the chime";
  EXPECT_EQ(hash, 0xdb12ab4517a17482ull) << std::hex << hash;
}
