#include "host/startup_rules.h"

#include <cmath>

#include "settings/setting_table.h"
#include "world/bubble_table.h"

namespace {

// Halves to even without depending on the floating-point environment, which a
// Direct3D device may change.
long double RoundHalfEvenLong(long double value) {
  long double floor = std::floor(value);
  long double fraction = value - floor;
  if (fraction > 0.5L) return floor + 1;
  if (fraction < 0.5L) return floor;
  return std::fmod(floor, 2.0L) == 0 ? floor : floor + 1;
}

int32_t LimitToTable(int64_t count) {
  if (count < 0) return 0;
  if (count > BubbleCapacity) return BubbleCapacity;
  return static_cast<int32_t>(count);
}

int64_t Distance(int32_t a, int32_t b) {
  int64_t difference = int64_t{a} - int64_t{b};
  return difference < 0 ? -difference : difference;
}

}  // namespace

int32_t ComputeBubbleRadius(float sizeScale) {
  long double radius = RoundHalfEvenLong(static_cast<long double>(sizeScale) * 78.0L);
  if (!(radius > 0)) return 0;  // also NaN
  if (radius > MaxBubbleRadius) return MaxBubbleRadius;
  return static_cast<int32_t>(radius);
}

// The dialog's range, which fits the table.
int32_t LimitBallsCount(int32_t count) {
  return ClampToRange(RowBallsCount, count);
}

int32_t ForcedBallsCount(int32_t screenWidth) {
  return LimitToTable(screenWidth / 120);
}

bool MovedBeyondSlack(ScreenPoint origin, ScreenPoint now, int32_t slack) {
  return Distance(origin.x, now.x) > slack || Distance(origin.y, now.y) > slack;
}

bool CursorSettlingAfterDisplayChange(uint32_t changedAtMs, uint32_t nowMs) {
  return nowMs - changedAtMs < DisplayChangeSettleMs;
}

DisplayNotice ChooseDisplayNotice(uint32_t majorVersion, uint32_t minorVersion) {
  const bool windows8OrLater = majorVersion > 6 || (majorVersion == 6 && minorVersion >= 2);
  return windows8OrLater ? DisplayNotice::ConsoleDisplayState : DisplayNotice::MonitorPowerOn;
}

bool DisplayShowsFrames(uint32_t noticeValue) {
  return noticeValue != 0;
}

RunScene ChooseRunScene(bool runMode, bool useDirectDraw, DirectDrawState state) {
  if (!runMode) return RunScene::None;
  if (!useDirectDraw) return RunScene::Gdiplus;
  const bool cannotDraw = state == DirectDrawState::Missing || state == DirectDrawState::GaveUp;
  return cannotDraw ? RunScene::Gdiplus : RunScene::DirectDraw;
}
