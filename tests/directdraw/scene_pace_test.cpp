// The Direct3D scene's pace under wine, in-process, with a clock of the test's own: on the
// timer grid of Windows, and at a display's refresh.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "directdraw/win/UDxBall.h"
#include "display/win/surface_pixels.h"
#include "framework/win/timing_seams.h"
#include "harness/test_support.h"
#include "settings/settings.h"
#include "world/bubble_table.h"
#include "world/motion.h"

namespace {

int64_t FakeNow = 0;
int64_t FakeClock() {
  return FakeNow;
}

struct HostWindow : harness::RecordingHost {
  HostWindow() : RecordingHost(400, 300, WS_CLIPCHILDREN) {}
};

class ScenePaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PictureList.Items.clear();
    BackType = 3;
    BackPic = "Z:\\no\\such\\background.bmp";  // black
    ShowShadow = false;
    SizeScale = 1.0f;
    WorldRect = {0, 0, 1024, 768};
    BubbleRadius = 78;
    BallsCount = 1;
    FakeNow = 1000000;
    SetMonotonicClockForTests(FakeClock);
  }
  void TearDown() override {
    SetMonotonicClockForTests(nullptr);
    SetFakeRefreshForTests(0);
  }
  std::unique_ptr<TFDxBall> ShowScene() {
    auto form = CreateForm<TFDxBall>();
    form->SetParentWindow(Host.Handle());
    form->Show();
    EXPECT_TRUE(form->DXDraw->CanDraw()) << form->DXDraw->InitializeFailure();
    return form;
  }
  HostWindow Host;
};

// The leftmost lit column of the frame: the bubble's left edge.
int LeftEdge(const TFDxBall& form) {
  PixelImage frame;
  if (!ReadSurfaceImage(form.DXDraw->Surface(), frame)) return -1;
  for (int x = 0; x < frame.Width(); ++x) {
    for (int y = 0; y < frame.Height(); y += 2) {
      const uint8_t* p = frame.Row(y) + x * 4;
      if (p[0] + p[1] + p[2] > 60) return x;
    }
  }
  return -1;
}

}  // namespace

// Windows fires the 40 ms timer every 46.875 ms; the scene still takes 25 steps a second.
// Under wine the display reports no refresh rate, so the timer paces the frames.
TEST_F(ScenePaceTest, OnTheTimerGridOfWindowsTheSceneTakes25StepsASecond) {
  auto form = ShowScene();
  EXPECT_FALSE(form->PacedByRefresh()) << "wine reports no refresh rate";
  ASSERT_TRUE(form->Timer1.Enabled());
  form->Timer1.SetEnabled(false);  // fired here, on the grid
  const uint32_t period = form->Timer1.Interval();
  GridPace pace;
  pace.Start(period, FakeNow);
  const int64_t first = pace.DueAt();
  uint64_t steps = 0;
  int fired = 0;
  for (; pace.DueAt() < first + 2000000; ++fired) {
    FakeNow = pace.DueAt();
    const uint64_t before = MotionStepsTaken();
    form->Timer1Timer();
    steps += MotionStepsTaken() - before;
    pace.Next(period, FakeNow);
  }
  const double span = static_cast<double>(FakeNow - first);
  EXPECT_EQ(span / (fired - 1), 46875) << "Windows' period for 40 ms";
  // The first firing takes a step at once; every later one what fell due since.
  EXPECT_NEAR((steps - 1) / span * 1e6, 25, 0.5);
}

// At 60 Hz a bubble at constant velocity moves the same distance every frame: its
// velocity times the frame period over the step period, 48 x 16.7 / 40 = 20 pixels.
TEST_F(ScenePaceTest, AtTheRefreshABubbleAtConstantVelocityIsDrawnAtEvenlySpacedPlaces) {
  SetFakeRefreshForTests(60);
  auto form = ShowScene();
  ASSERT_TRUE(form->PacedByRefresh());
  EXPECT_FALSE(form->Timer1.Enabled());
  BubbleTable[1] = Bubble{100, 150, 48, 0, 200, 40, 40, 0, 0, 0, true, 1};
  std::vector<int> edges;
  for (int frame = 0; frame < 10; ++frame) {
    FakeNow = 2000000 + static_cast<int64_t>(std::llround(frame * 1e6 / 60));
    form->DrawScene();
    edges.push_back(LeftEdge(*form));
  }
  const double expected = 48 * (1e6 / 60) / 40000;
  for (size_t i = 1; i < edges.size(); ++i) {
    EXPECT_NEAR(edges[i] - edges[i - 1], expected, expected / 10) << "frame " << i;
  }
}

// A refresh wait that returns at once (wine's DwmFlush) is found out, and the frames go
// back to the timer at the design rate.
TEST_F(ScenePaceTest, AWaitThatReturnsAtOnceLeavesTheFramesToTheTimer) {
  SetMonotonicClockForTests(nullptr);
  SetFakeRefreshForTests(60, false);
  auto form = ShowScene();
  ASSERT_TRUE(form->PacedByRefresh());
  EXPECT_TRUE(harness::WaitUntil([&] { return !form->PacedByRefresh(); }, 3000));
  EXPECT_TRUE(form->Timer1.Enabled());
  SetFakeRefreshForTests(0);
}
