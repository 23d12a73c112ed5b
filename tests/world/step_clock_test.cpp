#include "world/step_clock.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "world/motion.h"
#include "world_fixture.h"

namespace {

constexpr int64_t Second = 1000000;

struct PaceRow {
  const char* Name;
  int64_t Design;  // µs per step
  double Timer;    // µs between calls, on average
  int64_t Jitter;  // ± µs on each call
  int FewestPerCall, MostPerCall;
};

// Calls at the given pace for the given time: the steps each call took.
std::vector<int> StepsPerCall(StepClock& clock, double start, double period, int64_t jitter,
                              double until, std::mt19937& random) {
  std::uniform_int_distribution<int64_t> shake(-jitter, jitter);
  std::vector<int> steps;
  for (double t = start; t < until; t += period) {
    steps.push_back(clock.Advance(static_cast<int64_t>(std::llround(t)) + shake(random)));
  }
  return steps;
}

int Sum(const std::vector<int>& v) {
  int total = 0;
  for (int n : v) total += n;
  return total;
}

}  // namespace

// However the timer fires, ten seconds take the design rate's steps, and no call takes
// more than the rows allow: a timer at the design rate takes exactly one per call.
TEST(StepClock, TakesTheDesignRateWhateverTheTimersPace) {
  const PaceRow rows[] = {
      {"40 ms, as under Wine", SceneStepPeriod, 40000, 600, 1, 1},
      {"40 ms on the 15.625 ms grid", SceneStepPeriod, 46875, 0, 1, 2},
      {"20 ms", GdiplusStepPeriod, 20000, 600, 1, 1},
      {"20 ms on the grid", GdiplusStepPeriod, 31250, 0, 1, 2},
      {"slow frames of 100 ms", SceneStepPeriod, 100000, 8000, 2, 3},
      {"refresh at 60 Hz", SceneStepPeriod, 1e6 / 60, 300, 0, 1},
      {"wind on the grid", WindPullPeriod, 62500, 0, 1, 2},
  };
  std::mt19937 random(7);
  for (const PaceRow& row : rows) {
    SCOPED_TRACE(row.Name);
    StepClock clock(row.Design);
    const std::vector<int> steps =
        StepsPerCall(clock, 1e9, row.Timer, row.Jitter, 1e9 + 10 * Second, random);
    const int expected = static_cast<int>(10 * Second / row.Design);
    EXPECT_NEAR(Sum(steps), expected, 1);
    EXPECT_EQ(steps.front(), 1) << "the first call starts the world at once";
    for (size_t i = 1; i < steps.size(); ++i) {
      ASSERT_GE(steps[i], row.FewestPerCall) << "call " << i;
      ASSERT_LE(steps[i], row.MostPerCall) << "call " << i;
    }
  }
}

TEST(StepClock, EachDesignRateCatchesUpTheSameTimeAfterAStall) {
  const struct {
    int64_t Period;
    int Steps;
  } rows[] = {{SceneStepPeriod, 4}, {GdiplusStepPeriod, 8}, {GdiplusPushPeriod, 4}};
  for (const auto& row : rows) {
    StepClock clock(row.Period);
    clock.Advance(0);
    EXPECT_EQ(clock.Advance(row.Period * 100), row.Steps) << row.Period;
  }
}

TEST(StepClock, AfterAStallAtMostFourStepsCatchUpAndThePaceGoesOn) {
  StepClock clock(SceneStepPeriod);
  std::mt19937 random(3);
  StepsPerCall(clock, 0, 46875, 0, 2 * Second, random);
  EXPECT_EQ(clock.Advance(7 * Second), StepClock::MaxCatchUp);
  const std::vector<int> after =
      StepsPerCall(clock, 7 * Second + 46875, 46875, 0, 9 * Second, random);
  EXPECT_NEAR(Sum(after), 50, 1);
  for (int n : after) EXPECT_LE(n, 2);
  // A clock that runs backwards takes no step and starts its pace again from there.
  EXPECT_EQ(clock.Advance(Second), 0);
  EXPECT_EQ(clock.Advance(Second + 40000), 1);
}

using PacedWorldTest = WorldTest;

// The paced world is today's world, step for step: the same bits as MotionStep called as
// often, whatever the frames' pace, and it stands still while the display cannot draw.
TEST_F(PacedWorldTest, StepsTheSameWorldBitForBitAndRestsWhileTheDisplayCannotDraw) {
  BallsCount = 12;
  InitBubblesWithSeed(BallsCount, 99);
  Bubble start[BubbleCapacity + 1];
  std::memcpy(start, BubbleTable, sizeof start);

  PacedWorld world(SceneStepPeriod);
  std::mt19937 random(5);
  std::uniform_int_distribution<int64_t> gap(5000, 130000);
  int64_t now = 0;
  int taken = 0;
  for (int frame = 0; frame < 300; ++frame, now += gap(random)) taken += world.Frame(now);

  const uint64_t before = MotionStepsTaken();
  for (int frame = 0; frame < 100; ++frame, now += 40000) {
    ASSERT_EQ(world.Frame(now, false), 0);
  }
  EXPECT_EQ(MotionStepsTaken(), before);
  EXPECT_EQ(world.Frame(now), 1) << "drawing again starts afresh, without a burst";
  EXPECT_EQ(world.Frame(now + 40000), 1);
  taken += 2;

  Bubble paced[BubbleCapacity + 1];
  std::memcpy(paced, BubbleTable, sizeof paced);
  std::memcpy(BubbleTable, start, sizeof start);
  for (int i = 0; i < taken; ++i) MotionStep();
  EXPECT_EQ(std::memcmp(paced, BubbleTable, sizeof paced), 0);
}

// A bubble at constant velocity drawn at the display's refresh between its steps moves by
// the same amount every frame: its velocity times frame period over step period.
TEST_F(PacedWorldTest, FramesBetweenStepsShowEvenlySpacedPlaces) {
  const double refreshes[] = {60.0, 72.0};
  for (double hz : refreshes) {
    SCOPED_TRACE(hz);
    Place(1, 300, 300, 6, -3);
    PacedWorld world(SceneStepPeriod);
    const double frame = 1e6 / hz;
    const double expected = 6 * frame / SceneStepPeriod;
    double lastX = 0, lastY = 0;
    for (int i = 0; i < 40; ++i) {
      const int64_t now = static_cast<int64_t>(std::llround(i * frame));
      world.Frame(now);
      const Bubble shown = world.Shown(1, world.Clock.Phase(now));
      if (i > 1) {
        ASSERT_NEAR(shown.X - lastX, expected, 1e-3) << "frame " << i;
        ASSERT_NEAR(shown.Y - lastY, -expected / 2, 1e-3) << "frame " << i;
      }
      lastX = shown.X;
      lastY = shown.Y;
      EXPECT_EQ(shown.Red, BubbleTable[1].Red);
    }
  }
  // Phase 0 is the place before the last step, 1 the place after it; a first step falls
  // half-way between two calls of a timer at the design rate.
  Place(1, 300, 300, 8, 0);
  PacedWorld world(SceneStepPeriod);
  world.Frame(0);
  EXPECT_DOUBLE_EQ(world.Clock.Phase(0), 0.5);
  EXPECT_EQ(world.Shown(1, 0.0).X, 300);
  EXPECT_EQ(world.Shown(1, 0.25).X, 302);
  EXPECT_EQ(world.Shown(1, 1.0).X, 308);
}
