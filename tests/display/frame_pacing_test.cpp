#include "display/frame_pacing.h"

#include <gtest/gtest.h>

TEST(FramePacing, FollowsAComposedDisplayUpTo75FramesAndOtherwiseTheDesignRate) {
  struct Row {
    PacingConditions Conditions;
    int Expected;
  };
  const Row rows[] = {
      {{60, true, false, false}, 1},  {{75, true, false, false}, 1},
      {{120, true, false, false}, 2}, {{144, true, false, false}, 2},
      {{165, true, false, false}, 3}, {{240, true, false, false}, 4},
      {{0, true, false, false}, 0},   {{1, true, false, false}, 0},
      {{60, false, false, false}, 0}, {{60, true, true, false}, 0},
      {{144, true, false, true}, 0},
  };
  for (const Row& row : rows) {
    const PacingConditions& c = row.Conditions;
    EXPECT_EQ(RefreshesPerFrame(c), row.Expected)
        << c.RefreshHz << " Hz, composed " << c.Composed << ", battery " << c.OnBattery
        << ", remote " << c.RemoteSession;
    if (row.Expected > 0) {
      EXPECT_LE(c.RefreshHz / row.Expected, MostFramesPerSecond);
    }
  }
}

TEST(FramePacing, TwoHollowWaitsRunningMakeTheWaitAbsentForGood) {
  RefreshWaitGuard guard(60);  // a period of 16.7 ms, hollow under 1.67
  EXPECT_TRUE(guard.Observe(16000));
  EXPECT_FALSE(guard.Doubting());
  EXPECT_TRUE(guard.Observe(500)) << "one short wait: a long frame met its refresh soon";
  EXPECT_TRUE(guard.Doubting()) << "the wait right after it decides";
  EXPECT_TRUE(guard.Observe(12000));
  EXPECT_FALSE(guard.Doubting());
  EXPECT_TRUE(guard.Observe(1600));
  EXPECT_FALSE(guard.Observe(0));
  EXPECT_FALSE(guard.Trusted());
  EXPECT_FALSE(guard.Observe(16667)) << "absent for good";
  RefreshWaitGuard fast(144);  // 6.9 ms: a wait of 1 ms is a real one
  EXPECT_TRUE(fast.Observe(1000));
  EXPECT_TRUE(fast.Observe(1000));
}
