#include "display/frame_pacing.h"

#include <algorithm>

int RefreshesPerFrame(const PacingConditions& conditions) {
  if (conditions.RefreshHz <= 1 || !conditions.Composed) return 0;
  if (conditions.OnBattery || conditions.RemoteSession) return 0;
  return (conditions.RefreshHz + MostFramesPerSecond - 1) / MostFramesPerSecond;
}

RefreshWaitGuard::RefreshWaitGuard(int refreshHz) : Hollow(1000000 / std::max(2, refreshHz) / 10) {}

bool RefreshWaitGuard::Observe(int64_t waitedMicroseconds) {
  if (Absent) return false;
  HollowRunning = waitedMicroseconds < Hollow ? HollowRunning + 1 : 0;
  Absent = HollowRunning >= 2;
  return !Absent;
}
