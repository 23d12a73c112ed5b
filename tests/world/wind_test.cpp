#include <cmath>
#include <limits>

#include "world/geometry.h"
#include "world_fixture.h"

namespace {

GustBand Hourglass(int32_t top, int32_t bottom, int32_t height) {
  return GustBand{{{top, 0}, {top + 100, 0}, {bottom, height}, {bottom + 100, height}}};
}

// Integer points of row y inside the band, and the leftmost of them.
int PointsInRow(const GustBand& band, int32_t y, int32_t from, int32_t to,
                int32_t* first = nullptr) {
  int count = 0;
  for (int32_t x = from; x <= to; ++x) {
    if (!PointInBand(band, x, y)) continue;
    if (count++ == 0 && first != nullptr) *first = x;
  }
  return count;
}

}  // namespace

class Wind : public WorldTest {
 protected:
  FakeTimer& Gap() { return Fake(WindUnderTest->GapTimer()); }
  FakeTimer& Blow() { return Fake(WindUnderTest->BlowTimer()); }

  void MakeWind() { WindUnderTest = std::make_unique<TWind>(Platform); }

  // A gust over the whole world, pushing towards (wx, wy), lasting duration ms.
  void StartFixedGust(double wx, double wy, int32_t duration) {
    MakeWind();
    ASSERT_TRUE(Gap().Fire());
    WindUnderTest->Points = GustBand{{{-10, -10}, {2000, -10}, {2000, 2000}, {-10, 2000}}};
    WindUnderTest->WindX = wx;
    WindUnderTest->WindY = wy;
    WindUnderTest->Duration = duration;
  }

  FakeWindPlatform Platform;
  std::unique_ptr<TWind> WindUnderTest;
};

TEST_F(Wind, CreationArmsOnlyTheGapTimerWithAPauseOfFiveToNineMilliseconds) {
  SeedRandom(31);
  const uint32_t expected = static_cast<uint32_t>(Random(5) + 5);
  SeedRandom(31);
  MakeWind();
  EXPECT_TRUE(Gap().Enabled());
  EXPECT_EQ(Gap().Interval(), expected);
  EXPECT_FALSE(Blow().Enabled());
  EXPECT_EQ(Blow().Interval(), 50u);
  EXPECT_FALSE(Blow().Fire());
}

TEST_F(Wind, GapTimerStartsAGustDrawnInTheStatedOrder) {
  WorldRect = {0, 0, 1025, 700};
  MakeWind();
  for (uint32_t seed = 1; seed < 300; ++seed) {
    SeedRandom(seed);
    const int32_t x0 = Random(2050) - 512;
    const int32_t x2 = Random(2050) - 512;
    const int32_t strength = Random(8) + 1;
    const int32_t sign = Random(3) - 1;
    const int32_t duration = Random(3) * 1000;
    SeedRandom(seed);
    Platform.Tick = seed * 1000;
    WindUnderTest->StartGust();
    const TWind& w = *WindUnderTest;
    ASSERT_EQ(w.Points.Corner[0].x, x0);
    ASSERT_EQ(w.Points.Corner[1].x, x0 + 100);
    ASSERT_EQ(w.Points.Corner[2].x, x2);
    ASSERT_EQ(w.Points.Corner[3].x, x2 + 100);
    ASSERT_EQ(w.Points.Corner[0].y, 0);
    ASSERT_EQ(w.Points.Corner[1].y, 0);
    ASSERT_EQ(w.Points.Corner[2].y, 700);
    ASSERT_EQ(w.Points.Corner[3].y, 700);
    ASSERT_EQ(w.Strength, strength);
    ASSERT_EQ(w.WindX, strength * ((x2 - x0) / 700.0));
    ASSERT_EQ(w.WindY, sign * strength);
    ASSERT_EQ(w.Duration, duration);
    ASSERT_EQ(w.StartTick, seed * 1000);
    ASSERT_TRUE(w.RegionLive);
  }
  EXPECT_TRUE(Blow().Enabled());
  EXPECT_FALSE(Gap().Enabled());
}

TEST_F(Wind, WorldWithoutWidthOrHeightGivesAFiniteGust) {
  WorldRect = {0, 0, 0, 0};
  MakeWind();
  Gap().Fire();
  EXPECT_EQ(WindUnderTest->Points.Corner[0].x, 0);
  EXPECT_EQ(WindUnderTest->WindX, 0);
  EXPECT_TRUE(std::isfinite(WindUnderTest->WindY));
}

TEST_F(Wind, BandIsAHundredWideAtTopAndBottomAndNarrowsToAPointHalfWayDown) {
  for (const GustBand& band :
       {Hourglass(300, 300, 400), Hourglass(0, 400, 400), Hourglass(600, -200, 400)}) {
    EXPECT_EQ(PointsInRow(band, 0, -1000, 2000), 101);
    EXPECT_EQ(PointsInRow(band, 400, -1000, 2000), 101);
    EXPECT_EQ(PointsInRow(band, 100, -1000, 2000), 51);
    EXPECT_EQ(PointsInRow(band, 300, -1000, 2000), 51);
    EXPECT_EQ(PointsInRow(band, 200, -1000, 2000), 1);
    EXPECT_EQ(PointsInRow(band, -1, -1000, 2000), 0);
    EXPECT_EQ(PointsInRow(band, 401, -1000, 2000), 0);
  }
  int32_t first = 0;
  PointsInRow(Hourglass(0, 400, 400), 100, -1000, 2000, &first);
  EXPECT_EQ(first, 125);
}

TEST_F(Wind, BandOutlineCountsAsInside) {
  const GustBand band = Hourglass(300, 300, 400);
  EXPECT_TRUE(PointInBand(band, 300, 0));
  EXPECT_TRUE(PointInBand(band, 400, 0));
  EXPECT_TRUE(PointInBand(band, 375, 100));
  EXPECT_FALSE(PointInBand(band, 376, 100));
  EXPECT_TRUE(PointInBand(band, 350, 200));
  EXPECT_FALSE(PointInBand(band, 349, 200));
}

TEST_F(Wind, BandAtTheEndsOfTheCoordinateRangeIsTestedExactly) {
  const int32_t lo = std::numeric_limits<int32_t>::min();
  const int32_t hi = std::numeric_limits<int32_t>::max();
  const GustBand square{{{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}}};
  EXPECT_TRUE(PointInBand(square, 0, 0));
  EXPECT_TRUE(PointInBand(square, hi, 0));
  EXPECT_TRUE(PointInBand(square, lo, hi));
  // A sliver from one corner of the range to the other: only its diagonal is inside.
  const GustBand sliver{{{lo, lo}, {hi, hi}, {hi, hi}, {lo, lo}}};
  EXPECT_TRUE(PointInBand(sliver, -1, -1));
  EXPECT_FALSE(PointInBand(sliver, -1, 0));
  EXPECT_FALSE(PointInBand(sliver, hi - 1, hi));
}

TEST_F(Wind, RoundingGoesToTheNearestIntegerAndHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(0.5L), 0);
  EXPECT_EQ(RoundHalfEven(1.5L), 2);
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(-0.5L), 0);
  EXPECT_EQ(RoundHalfEven(-1.5L), -2);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2);
  EXPECT_EQ(RoundHalfEven(2.4999999L), 2);
  EXPECT_EQ(RoundHalfEven(2.5000001L), 3);
  EXPECT_EQ(RoundHalfEven(-7.75L), -8);
  EXPECT_EQ(RoundHalfEven(4503599627370495.5L), 4503599627370496);
  EXPECT_EQ(RoundHalfEven(9007199254740993.0L), 9007199254740993);
}

TEST_F(Wind, RoundingSaturatesBeyondTheIntegerRangeAndMapsNaNToZero) {
  EXPECT_EQ(RoundHalfEven(1e300L), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e300L), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST_F(Wind, BlowPullsActiveBubblesInTheBandATwentiethOfTheWayToTheWind) {
  StartFixedGust(6, -4, 2000);
  Place(1, 100, 100, 2, 0);
  Place(2, 200, 100, 2, 0, false);
  Place(3, 3000, 100, 2, 0);
  WindUnderTest->Blow();
  EXPECT_EQ(BubbleTable[1].VX, 2 + (6 - 2) / 20.0);
  EXPECT_EQ(BubbleTable[1].VY, -4 / 20.0);
  EXPECT_EQ(BubbleTable[2].VX, 2) << "inactive bubbles are never pushed";
  EXPECT_EQ(BubbleTable[3].VX, 2) << "outside the band";
}

TEST_F(Wind, BlowTestsTheCentreRoundedHalfToEven) {
  MakeWind();
  Gap().Fire();
  WindUnderTest->Points = GustBand{{{0, 0}, {10, 0}, {10, 40}, {0, 40}}};
  WindUnderTest->WindX = 20;
  Place(1, 10.5, 20.5, 0, 0);  // tested as (10, 20): on the edge
  Place(2, 10.51, 20, 0, 0);   // (11, 20): outside
  Place(3, -0.5, 39.5, 0, 0);  // (0, 40): the corner
  Place(4, 1e300, 20, 0, 0);   // beyond any band
  Place(5, std::nan(""), 20, 0, 0);
  WindUnderTest->Blow();
  EXPECT_EQ(BubbleTable[1].VX, 1);
  EXPECT_EQ(BubbleTable[2].VX, 0);
  EXPECT_EQ(BubbleTable[3].VX, 1);
  EXPECT_EQ(BubbleTable[4].VX, 0);
  EXPECT_EQ(BubbleTable[5].VX, 0);
}

TEST_F(Wind, GustBlowsOnEveryTickUntilItsDurationHasPassedThenWaits) {
  Platform.Tick = 5000;
  StartFixedGust(20, 0, 1000);
  Place(1, 100, 100, 0, 0);
  int pushes = 0;
  for (uint32_t t = 50; t <= 1000; t += 50) {
    Platform.Tick = 5000 + t;
    ASSERT_TRUE(Blow().Fire());
    ++pushes;
  }
  EXPECT_TRUE(WindUnderTest->RegionLive);
  const double before = BubbleTable[1].VX;
  Platform.Tick = 6001;
  ASSERT_TRUE(Blow().Fire());
  EXPECT_EQ(BubbleTable[1].VX, before) << "the ending tick does not blow";
  EXPECT_FALSE(WindUnderTest->RegionLive);
  EXPECT_FALSE(Blow().Enabled());
  EXPECT_TRUE(Gap().Enabled());
  EXPECT_TRUE(Gap().Interval() >= 5 && Gap().Interval() <= 9);
  EXPECT_EQ(pushes, 20);
  EXPECT_GT(before, 0);
}

TEST_F(Wind, GustOfNoDurationEndsAtItsFirstTickWithoutBlowing) {
  StartFixedGust(20, 0, 0);
  Place(1, 100, 100, 0, 0);
  Platform.Tick += 50;
  Blow().Fire();
  EXPECT_EQ(BubbleTable[1].VX, 0);
  EXPECT_TRUE(Gap().Enabled());
}

TEST_F(Wind, TickCountWrappingRoundDuringAGustDoesNotEndIt) {
  Platform.Tick = 0xFFFFFF00u;
  StartFixedGust(20, 0, 2000);
  Place(1, 100, 100, 0, 0);
  Platform.Tick = 0x00000100u;  // 512 ms later
  Blow().Fire();
  EXPECT_TRUE(WindUnderTest->RegionLive);
  EXPECT_GT(BubbleTable[1].VX, 0);
  Platform.Tick = 0xFFFFFF00u + 2001u;
  Blow().Fire();
  EXPECT_FALSE(WindUnderTest->RegionLive);
}

TEST_F(Wind, StopDuringAGustKeepsTheBandButNoHandlerRunsAgain) {
  StartFixedGust(20, 0, 2000);
  Place(1, 100, 100, 0, 0);
  WindUnderTest->Stop();
  EXPECT_TRUE(WindUnderTest->RegionLive);
  EXPECT_FALSE(Blow().Fire());
  EXPECT_FALSE(Gap().Fire());
  EXPECT_EQ(BubbleTable[1].VX, 0);
}

TEST_F(Wind, FreeingAWindStopsBothTimersFirst) {
  StartFixedGust(20, 0, 2000);
  WindUnderTest.reset();
  ASSERT_EQ(Platform.EnabledAtDestruction.size(), 2u);
  EXPECT_FALSE(Platform.EnabledAtDestruction[0]);
  EXPECT_FALSE(Platform.EnabledAtDestruction[1]);
}

TEST_F(Wind, BlowAfterTheGustEndedPushesNothing) {
  StartFixedGust(20, 0, 0);
  Platform.Tick += 50;
  Blow().Fire();
  Place(1, 100, 100, 0, 0);
  WindUnderTest->Blow();
  EXPECT_EQ(BubbleTable[1].VX, 0);
}

// Paused in each state of the wind: nothing fires while paused, and each timer comes back
// as it was; a Stop while paused keeps both off.
TEST_F(Wind, APauseHoldsBothTimersAndResumeGivesEachBackAsItWas) {
  const struct {
    const char* State;
    bool Blowing;
    bool StopWhilePaused;
  } cases[] = {{"waiting", false, false}, {"blowing", true, false}, {"stopped", true, true}};
  for (const auto& c : cases) {
    MakeWind();
    if (c.Blowing) {
      ASSERT_TRUE(Gap().Fire()) << c.State;
    }
    const bool gapOn = Gap().Enabled();
    const bool blowOn = Blow().Enabled();
    WindUnderTest->Pause();
    WindUnderTest->Pause();  // a second notice of the same state changes nothing
    EXPECT_FALSE(Gap().Fire()) << c.State;
    EXPECT_FALSE(Blow().Fire()) << c.State;
    if (c.StopWhilePaused) WindUnderTest->Stop();
    WindUnderTest->Resume();
    EXPECT_FALSE(WindUnderTest->Paused()) << c.State;
    EXPECT_EQ(Gap().Enabled(), gapOn && !c.StopWhilePaused) << c.State;
    EXPECT_EQ(Blow().Enabled(), blowOn && !c.StopWhilePaused) << c.State;
  }
}

// The pull follows the time that passed: a gust of 2 s pulls 40 times whether its timer
// fires every 50 ms or, as Windows rounds it, every 62.5 ms; after a stall at most four
// pulls catch up.
TEST_F(Wind, PullsATwentiethPer50MsWhateverTheTimersPace) {
  struct Row {
    double Period;
    int Pulls;
  };
  for (const Row row : {Row{50, 40}, Row{62.5, 40}, Row{100, 40}}) {
    SCOPED_TRACE(row.Period);
    Platform.Tick = 1000;
    StartFixedGust(20, 0, 2000);
    Place(1, 100, 100, 0, 0);
    int pulls = 0;
    for (double t = row.Period; t <= 2000; t += row.Period) {
      Platform.Tick = 1000 + static_cast<uint32_t>(std::lround(t));
      const double before = BubbleTable[1].VX;
      ASSERT_TRUE(Blow().Fire());
      // Each pull closes a twentieth of the gap: count them from the velocity.
      pulls += static_cast<int>(
          std::lround(std::log((20 - BubbleTable[1].VX) / (20 - before)) / std::log(19.0 / 20.0)));
    }
    EXPECT_NEAR(pulls, row.Pulls, 1);
  }
  StartFixedGust(20, 0, 2000);
  Place(1, 100, 100, 0, 0);
  ASSERT_TRUE(Blow().Fire());
  Platform.Tick += 1500;
  ASSERT_TRUE(Blow().Fire());
  EXPECT_NEAR(BubbleTable[1].VX, 20 - 20 * std::pow(19.0 / 20.0, 5), 1e-9);
}
