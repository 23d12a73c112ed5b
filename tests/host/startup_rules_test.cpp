#include "host/startup_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(BubbleRadius, FollowsTheStoredBallSize) {
  EXPECT_EQ(ComputeBubbleRadius(1.0f), 78);  // BallSize absent
  EXPECT_EQ(ComputeBubbleRadius(5 / 10.0f), 39);
  EXPECT_EQ(ComputeBubbleRadius(20 / 10.0f), 156);
  EXPECT_EQ(ComputeBubbleRadius(2 / 10.0f), 16);  // 0.2f x 78 = 15.6000002
}

TEST(BubbleRadius, HalvesRoundToEvenInExtendedPrecision) {
  EXPECT_EQ(ComputeBubbleRadius(0.25f), 20);   // 19.5
  EXPECT_EQ(ComputeBubbleRadius(0.75f), 58);   // 58.5
  EXPECT_EQ(ComputeBubbleRadius(0.0625f), 5);  // 4.875
  // As a 32-bit product this is exactly 4.5 and would round down to 4; the extended
  // product is 4.50000002.
  EXPECT_EQ(ComputeBubbleRadius(0.057692308f), 5);
}

TEST(BubbleRadius, IsBoundedToWhatAScreenCanShow) {
  EXPECT_EQ(ComputeBubbleRadius(0.0f), 0);
  EXPECT_EQ(ComputeBubbleRadius(-2.0f), 0);
  EXPECT_EQ(ComputeBubbleRadius(52.5f), 4095);
  EXPECT_EQ(ComputeBubbleRadius(1000.0f), MaxBubbleRadius);
  EXPECT_EQ(ComputeBubbleRadius(std::numeric_limits<float>::max()), MaxBubbleRadius);
  EXPECT_EQ(ComputeBubbleRadius(std::numeric_limits<float>::infinity()), MaxBubbleRadius);
  EXPECT_EQ(ComputeBubbleRadius(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(BallsCount, StoredCountIsKeptInsideTheTable) {
  EXPECT_EQ(LimitBallsCount(10), 10);
  EXPECT_EQ(LimitBallsCount(0), 0);
  EXPECT_EQ(LimitBallsCount(100), 100);
  EXPECT_EQ(LimitBallsCount(101), 100);
  EXPECT_EQ(LimitBallsCount(-1), 0);
  EXPECT_EQ(LimitBallsCount(std::numeric_limits<int32_t>::min()), 0);
}

TEST(BallsCount, ForcedCountIsTheScreenWidthDiv120) {
  EXPECT_EQ(ForcedBallsCount(1024), 8);
  EXPECT_EQ(ForcedBallsCount(1919), 15);
  EXPECT_EQ(ForcedBallsCount(1920), 16);
  EXPECT_EQ(ForcedBallsCount(119), 0);
  EXPECT_EQ(ForcedBallsCount(12119), 100);
  EXPECT_EQ(ForcedBallsCount(12120), 100);  // 101 would overrun the table
  EXPECT_EQ(ForcedBallsCount(-500), 0);
}

TEST(MouseSlack, FivePixelsOnBothAxesKeepTheSaver) {
  EXPECT_FALSE(MovedBeyondSlack({100, 100}, {105, 105}));
  EXPECT_FALSE(MovedBeyondSlack({100, 100}, {95, 95}));
  EXPECT_FALSE(MovedBeyondSlack({0, 0}, {0, 0}));
}

TEST(MouseSlack, TheCursorSettlesForAMomentAfterADisplayChangeAcrossTheTickWrap) {
  constexpr uint32_t settle = DisplayChangeSettleMs;
  struct {
    uint32_t ChangedAt, Now;
    bool Settling;
  } cases[] = {{1000, 1000, true},           {1000, 1000 + settle - 1, true},
               {1000, 1000 + settle, false}, {0xFFFFFF00u, 0x100u, true},
               {0xFFFFFF00u, settle, false}, {5000, 4000, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(CursorSettlingAfterDisplayChange(c.ChangedAt, c.Now), c.Settling)
        << c.ChangedAt << " " << c.Now;
  }
}

TEST(MouseSlack, SixPixelsOnOneAxisEndIt) {
  EXPECT_TRUE(MovedBeyondSlack({100, 100}, {106, 100}));
  EXPECT_TRUE(MovedBeyondSlack({100, 100}, {100, 94}));
  // A monitor left of or above the primary has negative coordinates.
  EXPECT_TRUE(MovedBeyondSlack({-1020, 300}, {-1014, 300}));
  EXPECT_TRUE(MovedBeyondSlack({200, -400}, {200, -406}));
  EXPECT_FALSE(MovedBeyondSlack({-3, -3}, {2, 2}));
}

TEST(MouseSlack, AScaledDisplaysSlackIsItsOwn) {
  // 5 at 96 dpi is 7.5 (8, halves to even) real pixels at 144 dpi and 10 at 192.
  EXPECT_FALSE(MovedBeyondSlack({100, 100}, {108, 92}, 8));
  EXPECT_TRUE(MovedBeyondSlack({100, 100}, {109, 100}, 8));
  EXPECT_FALSE(MovedBeyondSlack({100, 100}, {90, 110}, 10));
  EXPECT_TRUE(MovedBeyondSlack({100, 100}, {100, 89}, 10));
}

TEST(MouseSlack, ExtremeCoordinatesDoNotOverflow) {
  constexpr int32_t low = std::numeric_limits<int32_t>::min();
  constexpr int32_t high = std::numeric_limits<int32_t>::max();
  EXPECT_TRUE(MovedBeyondSlack({low, 0}, {high, 0}));
  EXPECT_TRUE(MovedBeyondSlack({0, high}, {0, low}));
}

// Which notice a system is asked for, by its version, and what each value does.
TEST(DisplayPower, Windows8AndLaterTellTheDisplayStateOlderSystemsTheMonitorPower) {
  const struct {
    uint32_t Major, Minor;
    DisplayNotice Expected;
  } systems[] = {
      {5, 1, DisplayNotice::MonitorPowerOn},      {6, 0, DisplayNotice::MonitorPowerOn},
      {6, 1, DisplayNotice::MonitorPowerOn},      {6, 2, DisplayNotice::ConsoleDisplayState},
      {6, 3, DisplayNotice::ConsoleDisplayState}, {10, 0, DisplayNotice::ConsoleDisplayState}};
  for (const auto& system : systems)
    EXPECT_EQ(ChooseDisplayNotice(system.Major, system.Minor), system.Expected)
        << system.Major << "." << system.Minor;
  EXPECT_FALSE(DisplayShowsFrames(0));  // off
  EXPECT_TRUE(DisplayShowsFrames(1));   // on
  EXPECT_TRUE(DisplayShowsFrames(2));   // dimmed: still seen
}

}  // namespace

TEST(RunSceneChoice, DirectThreeDStandsOnlyWhereItDraws) {
  using S = DirectDrawState;
  const struct {
    bool Run, UseDirectDraw;
    S State;
    RunScene Expected;
  } rows[] = {
      {false, true, S::Drawing, RunScene::None},  // preview, configure: no run scene
      {false, false, S::Missing, RunScene::None},
      {true, false, S::Drawing, RunScene::Gdiplus},  // chosen by hand, whatever Direct3D can
      {true, true, S::Untried, RunScene::DirectDraw},
      {true, true, S::Drawing, RunScene::DirectDraw},
      {true, true, S::Missing, RunScene::Gdiplus},  // no ddraw.dll
      {true, true, S::GaveUp, RunScene::Gdiplus},   // could not start, or stayed lost
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ChooseRunScene(r.Run, r.UseDirectDraw, r.State), r.Expected)
        << r.Run << r.UseDirectDraw << static_cast<int>(r.State);
  }
}
