#include <cmath>
#include <limits>

#include "world/geometry.h"
#include "world_fixture.h"

class Wind : public WorldTest {
 protected:
  FakeTimer& Gap() { return Fake(Air->GapTimer()); }
  FakeTimer& Blow() { return Fake(Air->BlowTimer()); }
  // A live gust over the whole world towards (20, 0).
  void StartGustEverywhere(int32_t duration) {
    ASSERT_TRUE(Gap().Fire());
    Air->Points = GustBand{{{-10, -10}, {2000, -10}, {2000, 2000}, {-10, 2000}}};
    Air->WindX = 20;
    Air->WindY = 0;
    Air->Duration = duration;
  }

  FakeWindPlatform Platform;
  std::unique_ptr<TWind> Air = std::make_unique<TWind>(Platform);
};

static GustBand Hourglass(int32_t top, int32_t bottom) {
  return GustBand{{{top, 0}, {top + 100, 0}, {bottom, 400}, {bottom + 100, 400}}};
}

static int PointsInRow(const GustBand& band, int32_t y) {
  int count = 0;
  for (int32_t x = -1000; x <= 2000; ++x) count += PointInBand(band, x, y);
  return count;
}

TEST_F(Wind, CreationWaitsFiveToNineMillisecondsThenTheGapTimerStartsAGustDrawnInOrder) {
  SeedRandom(31);
  const auto pause = static_cast<uint32_t>(Random(5) + 5);
  SeedRandom(31);
  Air = std::make_unique<TWind>(Platform);
  EXPECT_TRUE(Gap().Enabled() && Gap().Interval() == pause);
  EXPECT_TRUE(!Blow().Enabled() && Blow().Interval() == 50);
  WorldRect = {0, 0, 1025, 700};
  for (uint32_t seed = 1; seed < 200; ++seed) {
    SeedRandom(seed);
    const int32_t x0 = Random(2050) - 512, x2 = Random(2050) - 512;
    const int32_t strength = Random(8) + 1, sign = Random(3) - 1, duration = Random(3) * 1000;
    SeedRandom(seed);
    Platform.Tick = seed * 1000;
    Air->StartGust();
    const IntPoint* c = Air->Points.Corner;
    ASSERT_EQ((std::vector{c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y}),
              (std::vector{x0, 0, x0 + 100, 0, x2, 700, x2 + 100, 700}));
    ASSERT_EQ(Air->Strength, strength);
    ASSERT_EQ(Air->WindX, strength * ((x2 - x0) / 700.0));
    ASSERT_EQ(Air->WindY, sign * strength);
    ASSERT_EQ(Air->Duration, duration);
    ASSERT_EQ(Air->StartTick, seed * 1000);
  }
  EXPECT_TRUE(Air->RegionLive && Blow().Enabled() && !Gap().Enabled());
  WorldRect = {0, 0, 0, 0};
  Air->StartGust();
  EXPECT_EQ(Air->WindX, 0) << "a world without height has no slant";
}

TEST_F(Wind, BandIsAHundredWideAtTopAndBottomAndNarrowsToAPointHalfWayDown) {
  for (const GustBand& band : {Hourglass(300, 300), Hourglass(0, 400), Hourglass(600, -200)}) {
    const int expected[] = {101, 51, 1, 51, 101};  // the outline counts as inside
    for (int row = 0; row <= 4; ++row) EXPECT_EQ(PointsInRow(band, row * 100), expected[row]);
    EXPECT_EQ(PointsInRow(band, -1) + PointsInRow(band, 401), 0);
  }
  EXPECT_TRUE(PointInBand(Hourglass(300, 300), 325, 100));
  EXPECT_FALSE(PointInBand(Hourglass(300, 300), 324, 100));
  const int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  const GustBand diagonal{{{lo, lo}, {hi, hi}, {hi, hi}, {lo, lo}}};  // products beyond 64 bits
  EXPECT_TRUE(PointInBand(diagonal, -1, -1));
  EXPECT_FALSE(PointInBand(diagonal, -1, 0) || PointInBand(diagonal, hi - 1, hi));
}

TEST_F(Wind, RoundingGoesToTheNearestIntegerHalvesToEvenAndSaturates) {
  const std::pair<long double, int64_t> cases[] = {{0.5L, 0},
                                                   {1.5L, 2},
                                                   {2.5L, 2},
                                                   {-0.5L, 0},
                                                   {-1.5L, -2},
                                                   {2.5000001L, 3},
                                                   {4503599627370495.5L, 4503599627370496},
                                                   {1e300L, std::numeric_limits<int64_t>::max()}};
  for (auto [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << double(value);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST_F(Wind, BlowPullsOnlyActiveBubblesWhoseRoundedCentreIsInTheBand) {
  StartGustEverywhere(2000);
  Air->Points = GustBand{{{0, 0}, {10, 0}, {10, 40}, {0, 40}}};
  Air->WindY = -4;
  Place(1, 10.5, 20.5, 2, 0);   // tested as (10, 20), on the edge
  Place(2, 10.51, 20, 2, 0);    // (11, 20)
  Place(3, -0.5, 39.5, 2, 0);   // (0, 40), a corner
  Place(4, 5, 5, 2, 0, false);  // inactive
  Place(5, 1e300, 20, 2, 0);
  Place(6, std::nan(""), 20, 2, 0);
  Air->Blow();
  EXPECT_EQ(BubbleTable[1].VX, 2 + (20 - 2) / 20.0);
  EXPECT_EQ(BubbleTable[1].VY, -4 / 20.0);
  EXPECT_EQ(BubbleTable[3].VX, BubbleTable[1].VX);
  for (int k : {2, 4, 5, 6}) EXPECT_EQ(BubbleTable[k].VX, 2) << k;
}

TEST_F(Wind, GustBlowsEveryTickUntilItsDurationHasPassedThenWaitsWithoutBlowing) {
  Platform.Tick = 0xFFFFFE00u;  // the tick count wraps round during the gust
  StartGustEverywhere(1000);
  Place(1, 100, 100, 0, 0);
  for (uint32_t t = 50; t <= 1000; t += 50) {
    Platform.Tick = 0xFFFFFE00u + t;
    ASSERT_TRUE(Blow().Fire() && Air->RegionLive) << t;
  }
  const double pushed = BubbleTable[1].VX;
  EXPECT_GT(pushed, 12);
  Platform.Tick = 0xFFFFFE00u + 1001;
  Blow().Fire();
  Air->Blow();
  EXPECT_EQ(BubbleTable[1].VX, pushed) << "an ended gust blows no more";
  EXPECT_TRUE(!Air->RegionLive && !Blow().Enabled() && Gap().Enabled());
  EXPECT_TRUE(Gap().Interval() >= 5 && Gap().Interval() <= 9);
  StartGustEverywhere(0);
  Platform.Tick += 50;
  Blow().Fire();
  EXPECT_EQ(BubbleTable[1].VX, pushed) << "a gust of no duration ends at its first tick";
}

TEST_F(Wind, StopDuringAGustKeepsTheBandAndFreeingAWindStopsItFirst) {
  StartGustEverywhere(2000);
  Air->Stop();
  EXPECT_TRUE(Air->RegionLive);
  EXPECT_FALSE(Blow().Fire() || Gap().Fire());
  Air = std::make_unique<TWind>(Platform);
  Gap().Fire();
  Air.reset();
  EXPECT_EQ(Platform.EnabledAtEnd, std::vector<bool>(4, false));
}
