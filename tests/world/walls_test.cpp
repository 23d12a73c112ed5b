#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "world/monitor_walls.h"
#include "world/motion.h"
#include "world_fixture.h"

namespace {

struct Desk {
  std::string Name;
  std::vector<MonitorArea> Monitors;
  std::vector<ScreenRect> Unshown;  // in world coordinates
};

void PrintTo(const Desk& desk, std::ostream* out) {
  *out << desk.Name;
}

MonitorArea Monitor(int32_t left, int32_t top, int32_t width, int32_t height) {
  const ScreenRect r{left, top, left + width, top + height};
  return {r, r};
}

ScreenLayout LayoutOf(const Desk& desk) {
  ScreenRect bounds = desk.Monitors.front().Monitor;
  for (const MonitorArea& m : desk.Monitors) {
    bounds = {std::min(bounds.Left, m.Monitor.Left), std::min(bounds.Top, m.Monitor.Top),
              std::max(bounds.Right, m.Monitor.Right), std::max(bounds.Bottom, m.Monitor.Bottom)};
  }
  return ScreenLayout(bounds, desk.Monitors);
}

// Monitors in screen coordinates, as the platform reports them, the primary first.
const std::vector<Desk> Desks = {
    {"OneMonitor", {Monitor(0, 0, 1280, 800)}, {}},
    {"TwoOfEqualHeight", {Monitor(0, 0, 1280, 800), Monitor(1280, 0, 1024, 800)}, {}},
    {"TwoOfDifferentHeights",
     {Monitor(0, 0, 1280, 800), Monitor(1280, 0, 1024, 768)},
     {{1280, 768, 2304, 800}}},
    {"LOfThree",
     {Monitor(0, 0, 1280, 800), Monitor(1280, 0, 1024, 768), Monitor(0, -768, 1024, 768)},
     {{1024, 0, 2304, 768}, {1280, 1536, 2304, 1568}}},
    {"SecondaryLeftAndAbove",
     {Monitor(0, 0, 1280, 800), Monitor(-1024, -300, 1024, 768)},
     {{1024, 0, 2304, 300}, {0, 768, 1024, 1100}}},
    {"TouchingAtACorner",
     {Monitor(0, 0, 1024, 768), Monitor(1024, 768, 1024, 768)},
     {{1024, 0, 2048, 768}, {0, 768, 1024, 1536}}},
};

const Desk& DeskNamed(const std::string& name) {
  return *std::find_if(Desks.begin(), Desks.end(), [&](const Desk& d) { return d.Name == name; });
}

class Walls : public WorldTest, public ::testing::WithParamInterface<Desk> {
 protected:
  void UseDesk(const Desk& desk) {
    const ScreenLayout layout = LayoutOf(desk);
    Monitors = layout.MonitorRects();
    WorldRect = {0, 0, layout.World().Width(), layout.World().Height()};
    SetWorldMonitors(layout.World(), Monitors);
  }

  // Whether the bubble's square lies on the monitors: every cell of the square cut by the
  // monitors' edges has its middle on one of them. withinTheWorld: only the part of the square
  // inside the world's rectangle counts, as for the rows, whose later ones start 8 pixels
  // from the left edge on one monitor too.
  bool OnTheMonitors(const Bubble& b, bool withinTheWorld = false) const {
    const double r = BubbleRadius;
    const double left = withinTheWorld ? std::max(b.X - r, 0.0) : b.X - r;
    const double right = withinTheWorld ? std::min(b.X + r, double(WorldRect.Width)) : b.X + r;
    const double top = withinTheWorld ? std::max(b.Y - r, 0.0) : b.Y - r;
    const double bottom = withinTheWorld ? std::min(b.Y + r, double(WorldRect.Height)) : b.Y + r;
    std::vector<double> xs{left, right};
    std::vector<double> ys{top, bottom};
    for (const ScreenRect& m : Monitors) {
      for (double x : {double(m.Left), double(m.Right)})
        if (x > left && x < right) xs.push_back(x);
      for (double y : {double(m.Top), double(m.Bottom)})
        if (y > top && y < bottom) ys.push_back(y);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      for (size_t j = 0; j + 1 < ys.size(); ++j) {
        const double x = (xs[i] + xs[i + 1]) / 2;
        const double y = (ys[j] + ys[j + 1]) / 2;
        const bool shown = std::any_of(Monitors.begin(), Monitors.end(), [&](const ScreenRect& m) {
          return m.Left <= x && x <= m.Right && m.Top <= y && y <= m.Bottom;
        });
        if (!shown) return false;
      }
    }
    return true;
  }

  std::vector<ScreenRect> Monitors;
};

TEST_P(Walls, AreThePartsOfTheWorldNoMonitorShows) {
  UseDesk(GetParam());
  EXPECT_EQ(WorldWalls(), GetParam().Unshown);
}

// A full table of bubbles in a lively world (wind-free, speeds kept by Restitution 1) starts
// where the monitors show it and never leaves them. The rows' first places overhang the
// world's left edge by up to a radius less 8 pixels, on one monitor too, until the bubbles
// have drifted clear of it; after that every square lies wholly on the monitors.
TEST_P(Walls, KeepEveryBubbleOnTheMonitors) {
  UseDesk(GetParam());
  Restitution = 1.0;
  for (int32_t radius : {30, 78}) {
    BubbleRadius = radius;
    BallsCount = radius == 30 ? 100 : 12;
    InitBubblesWithSeed(BallsCount, 77);
    for (int k = 1; k <= BallsCount; ++k)
      ASSERT_TRUE(OnTheMonitors(BubbleTable[k], true)) << "radius " << radius << " bubble " << k;
    for (int step = 0; step < 1000; ++step) {
      MotionStep();
      for (int k = 1; k <= BallsCount; ++k) {
        const Bubble& b = BubbleTable[k];
        ASSERT_TRUE(OnTheMonitors(b, step < 100))
            << "radius " << radius << " step " << step << " bubble " << k << " at " << b.X << ", "
            << b.Y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Desks, Walls, ::testing::ValuesIn(Desks),
                         [](const ::testing::TestParamInfo<Desk>& desk) {
                           return desk.param.Name;
                         });

using WallsMotion = Walls;

// Where the monitors fill their bounding rectangle, and where a bubble fits on no monitor,
// the world moves bit for bit as it does with no monitors known.
TEST_F(WallsMotion, LeaveTheWorldUnchangedWhereTheyDoNotHold) {
  const struct {
    std::string Desk;
    int32_t Radius;
  } rows[] = {{"OneMonitor", 40}, {"TwoOfEqualHeight", 40}, {"TwoOfDifferentHeights", 500}};
  for (const auto& row : rows) {
    const Desk& desk = DeskNamed(row.Desk);
    Bubble plain[BubbleCapacity + 1];
    for (bool withMonitors : {false, true}) {
      ResetWorld();
      UseDesk(desk);
      if (!withMonitors) ClearWorldMonitors();
      BubbleRadius = row.Radius;
      BallsCount = 60;
      InitBubblesWithSeed(BallsCount, 2718);
      for (int step = 0; step < 500; ++step) MotionStep();
      if (!withMonitors) std::memcpy(static_cast<void*>(plain), BubbleTable, sizeof plain);
    }
    EXPECT_EQ(std::memcmp(plain, BubbleTable, sizeof plain), 0) << row.Desk;
  }
}

// One bubble aimed at each kind of edge: where it first turns (the face it stops on) and
// where it is after the steps, or that it crossed a seam untouched.
TEST_F(WallsMotion, TurnABubbleOnTheFaceItMeetsAndLetItCrossSeams) {
  struct Row {
    std::string Desk;
    std::string What;
    double X, Y, VX, VY;
    int Steps;
    double TurnX, TurnY;  // where it stood when it first turned (NaN: it never turned)
    double EndVX, EndVY;
  };
  const double never = std::numeric_limits<double>::quiet_NaN();
  // R = 78. Different heights: the strip under the right monitor is a box from x 1202, y 690.
  // The L: the unshown top right is a box up to x 946, y 846; touching at a corner: the first
  // monitor's centres end at x 946, y 690.
  const Row rows[] = {
      {"TwoOfDifferentHeights", "wall beside the strip", 1100, 700, 10, 0, 20, 1202, 700, -8, 0},
      {"TwoOfDifferentHeights", "seam above the strip", 1100, 400, 10, 0, 40, never, never, 10, 0},
      {"LOfThree", "seam up into the top monitor", 500, 1000, 0, -10, 40, never, never, 0, -10},
      {"LOfThree", "wall under the unshown part", 1100, 1000, 0, -10, 30, 1100, 846, 0, 8},
      {"LOfThree", "wall beside it, in the top monitor", 800, 300, 10, 0, 30, 946, 300, -8, 0},
      {"LOfThree", "too fast to stop before it", 500, 300, 400, 0, 2, 946, 300, -320, 0},
      {"LOfThree", "inside corner, straight at it", 846, 946, 10, -10, 20, 946, 846, -8, 8},
      {"LOfThree", "inside corner, the floor last", 900, 900, 10, -5, 20, 1000, 846, 10, 4},
      {"LOfThree", "inside corner, the side last", 900, 900, 5, -10, 20, 946, 810, -4, -10},
      {"TouchingAtACorner", "corner of two walls", 846, 590, 10, 10, 20, 946, 690, -8, -8},
  };
  for (const Row& row : rows) {
    ResetWorld();
    UseDesk(DeskNamed(row.Desk));
    Bubble& b = Place(1, row.X, row.Y, row.VX, row.VY);
    double turnX = never;
    double turnY = never;
    for (int step = 0; step < row.Steps; ++step) {
      const double vx = b.VX;
      const double vy = b.VY;
      MotionStep();
      if (std::isnan(turnX) && (b.VX != vx || b.VY != vy)) {
        turnX = b.X;
        turnY = b.Y;
      }
    }
    const std::string what = row.Desk + ": " + row.What;
    if (std::isnan(row.TurnX)) {
      EXPECT_TRUE(std::isnan(turnX)) << what << " turned at " << turnX << ", " << turnY;
    } else {
      EXPECT_EQ(turnX, row.TurnX) << what;
      EXPECT_EQ(turnY, row.TurnY) << what;
    }
    EXPECT_EQ(b.VX, row.EndVX) << what;
    EXPECT_EQ(b.VY, row.EndVY) << what;
  }
}

// The rows keep their draws: a place behind a wall is passed over without drawing, so each
// bubble gets the speeds and colours it gets on one monitor, only its place moves on. A
// bubble found inside a wall (here put there by hand) goes to the nearest place it fits.
TEST_F(WallsMotion, PassOverPlacesBehindThemAndRescueABubbleInsideOne) {
  UseDesk(DeskNamed("LOfThree"));
  BallsCount = 40;
  InitBubblesWithSeed(BallsCount, 5);
  Bubble walled[BubbleCapacity + 1];
  std::memcpy(static_cast<void*>(walled), BubbleTable, sizeof walled);
  ClearWorldMonitors();
  InitBubblesWithSeed(BallsCount, 5);
  int moved = 0;
  for (int k = 1; k <= BallsCount; ++k) {
    EXPECT_EQ(walled[k].VX, BubbleTable[k].VX) << k;
    EXPECT_EQ(walled[k].BlueStep, BubbleTable[k].BlueStep) << k;
    if (walled[k].X != BubbleTable[k].X || walled[k].Y != BubbleTable[k].Y) ++moved;
  }
  EXPECT_GT(moved, 0);

  UseDesk(DeskNamed("LOfThree"));
  Bubble& b = Place(1, 1500, 400, 0, 0);  // in the unshown top right, nearest its lower face
  BallsCount = 1;
  MotionStep();
  EXPECT_EQ(b.X, 1500);
  EXPECT_EQ(b.Y, 846);
}

}  // namespace
