// TTimer and the wind's timers under wine: the guarantees the scenes build on.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "framework/win/timer.h"
#include "harness/test_support.h"
#include "world/win/wind_platform.h"

namespace {

using harness::PumpFor;
using harness::RecordedReports;

TEST(MessageTimer, FiresRepeatedlyWhileEnabled) {
  int ticks = 0;
  TTimer timer;
  timer.SetInterval(20);
  timer.SetOnTimer([&] { ++ticks; });
  EXPECT_TRUE(timer.Running());
  PumpFor(400);
  EXPECT_GE(ticks, 3);
}

TEST(MessageTimer, StaysIdleWithoutAHandlerOrWhenDisabled) {
  TTimer timer;
  EXPECT_FALSE(timer.Running()) << "no handler yet";
  int ticks = 0;
  timer.SetEnabled(false);
  timer.SetInterval(10);
  timer.SetOnTimer([&] { ++ticks; });
  EXPECT_FALSE(timer.Running());
  PumpFor(150);
  EXPECT_EQ(ticks, 0);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  PumpFor(100);
  EXPECT_EQ(ticks, 0) << "interval 0 must not run";
}

TEST(MessageTimer, ATickAlreadyQueuedNeverReachesADisabledTimer) {
  int ticks = 0;
  TTimer timer;
  timer.SetInterval(10);
  timer.SetOnTimer([&] { ++ticks; });
  Sleep(60);  // WM_TIMER is now due for this timer
  timer.SetEnabled(false);
  PumpFor(100);
  EXPECT_EQ(ticks, 0);
}

TEST(MessageTimer, ATickAlreadyQueuedNeverReachesADestroyedTimer) {
  int ticks = 0;
  auto timer = std::make_unique<TTimer>();
  timer->SetInterval(10);
  timer->SetOnTimer([&] { ++ticks; });
  Sleep(60);
  timer.reset();
  TTimer other;  // a new timer must not inherit the old one's pending tick
  other.SetInterval(5000);
  int otherTicks = 0;
  other.SetOnTimer([&] { ++otherTicks; });
  PumpFor(100);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(otherTicks, 0);
}

TEST(MessageTimer, AHandlerMayDestroyItsOwnTimer) {
  int ticks = 0;
  auto timer = std::make_unique<TTimer>();
  timer->SetInterval(10);
  timer->SetOnTimer([&] {
    ++ticks;
    timer.reset();
  });
  PumpFor(200);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(timer, nullptr);
}

TEST(MessageTimer, HandlerErrorsAreReportedAndTheTimerGoesOn) {
  RecordedReports reports;
  int ticks = 0;
  TTimer timer;
  timer.SetInterval(15);
  timer.SetOnTimer([&] {
    if (++ticks == 1) throw std::runtime_error("Unknown picture file extension (.xyz)");
  });
  PumpFor(300);
  EXPECT_GE(ticks, 2);
  ASSERT_EQ(reports.Texts().size(), 1u);
  EXPECT_EQ(reports.Texts().front(), "Unknown picture file extension (.xyz)");
}

TEST(MessageTimer, AHandlerIsNotReenteredByTicksDuringItsOwnMessageLoop) {
  int depth = 0;
  int deepest = 0;
  int ticks = 0;
  TTimer timer;
  timer.SetInterval(10);
  timer.SetOnTimer([&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    if (ticks == 1) PumpFor(150);  // as an error box's modal loop would
    --depth;
  });
  PumpFor(300);
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(ticks, 2) << "the timer stopped after the long tick";
}

TEST(WindPlatform, TimersAreMessageTimersAndTheClockIsTheTickCount) {
  WindPlatform& platform = SystemWindPlatform();
  uint32_t before = GetTickCount();
  uint32_t now = platform.TickCount();
  EXPECT_LE(now - before, 1000u);
  std::unique_ptr<WindTimer> timer = platform.CreateTimer();
  int ticks = 0;
  timer->SetInterval(15);
  timer->SetHandler([&] { ++ticks; });
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 15u);
  PumpFor(200);
  EXPECT_GE(ticks, 2);
  timer->SetEnabled(false);
  int stopped = ticks;
  PumpFor(100);
  EXPECT_EQ(ticks, stopped);
}

}  // namespace
