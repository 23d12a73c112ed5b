#include "world/wind.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "world/bubble_table.h"

namespace {

constexpr uint32_t BlowInterval = 50;  // ms between pushes of a live gust
constexpr int32_t BandWidth = 100;     // along the top and the bottom edge
constexpr int32_t PushShare = 20;      // each push closes 1/20 of the gap to the wind

// The pause before the next gust: milliseconds, not seconds, so gusts follow each other
// at the next timer tick.
uint32_t GapInterval() {
  return static_cast<uint32_t>(Random(5) + 5);
}

int32_t Saturated(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Where one edge of the band starts: anywhere from half a world left of the screen to
// one and a half worlds right of it.
int64_t RandomEdgeStart(int32_t width) {
  const int64_t span = 2 * static_cast<int64_t>(width);
  return Random(Saturated(span)) - static_cast<int64_t>(width / 2);
}

bool InsideBand(const GustBand& band, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  const int64_t px = RoundHalfEven(x);
  const int64_t py = RoundHalfEven(y);
  // The corners are 32-bit, so a point beyond that range is outside any band.
  if (px != Saturated(px) || py != Saturated(py)) return false;
  return PointInBand(band, static_cast<int32_t>(px), static_cast<int32_t>(py));
}

}  // namespace

TWind::TWind(WindPlatform& platform)
    : Platform(platform), Gap(platform.CreateTimer()), BlowT(platform.CreateTimer()) {
  BlowT->SetEnabled(false);
  BlowT->SetInterval(BlowInterval);
  BlowT->SetHandler([this] { GustTick(); });
  Gap->SetInterval(GapInterval());
  Gap->SetHandler([this] { StartGust(); });
  Gap->SetEnabled(true);
}

// Stopping first keeps either timer from calling into a wind that is gone.
TWind::~TWind() {
  Stop();
}

void TWind::Stop() {
  Gap->SetEnabled(false);
  BlowT->SetEnabled(false);
  GapWasOn = BlowWasOn = false;
}

void TWind::Pause() {
  if (IsPaused) return;
  IsPaused = true;
  GapWasOn = Gap->Enabled();
  BlowWasOn = BlowT->Enabled();
  Gap->SetEnabled(false);
  BlowT->SetEnabled(false);
}

void TWind::Resume() {
  if (!IsPaused) return;
  IsPaused = false;
  PullClock.Restart();
  Gap->SetEnabled(GapWasOn);
  BlowT->SetEnabled(BlowWasOn);
}

void TWind::StartGust() {
  const int32_t width = WorldRect.Width;
  const int32_t height = WorldRect.Height;
  // Corners in this order make the polygon cross itself half-way down: an hourglass.
  const int64_t top = RandomEdgeStart(width);
  const int64_t bottom = RandomEdgeStart(width);
  Points.Corner[0] = {Saturated(top), 0};
  Points.Corner[1] = {Saturated(top + BandWidth), 0};
  Points.Corner[2] = {Saturated(bottom), height};
  Points.Corner[3] = {Saturated(bottom + BandWidth), height};
  RegionLive = true;
  Strength = Random(8) + 1;
  // A world without height has no slant; the wind then only blows vertically.
  const double slant = height == 0 ? 0.0 : static_cast<double>(bottom - top) / height;
  WindX = Strength * slant;
  WindY = (Random(3) - 1) * Strength;
  Duration = Random(3) * 1000;
  StartTick = Platform.TickCount();
  PullClock.Restart();
  BlowT->SetEnabled(true);
  Gap->SetEnabled(false);
}

void TWind::GustTick() {
  // Unsigned subtraction, so a tick count that wraps during a gust does not end it.
  const uint32_t elapsed = Platform.TickCount() - StartTick;
  if (static_cast<int64_t>(elapsed) <= Duration) {
    // One pull per 50 ms that passed, whatever the timer's own pace.
    for (int pulls = PullClock.Advance(Platform.Microseconds()); pulls > 0; --pulls) Blow();
    return;
  }
  RegionLive = false;
  BlowT->SetEnabled(false);
  Gap->SetInterval(GapInterval());
  Gap->SetEnabled(true);
}

void TWind::Blow() {
  if (!RegionLive) return;
  for (int k = 1; k <= BubblesInUse(); ++k) {
    Bubble& b = BubbleTable[k];
    if (!b.Active || !InsideBand(Points, b.X, b.Y)) continue;
    b.VX = b.VX + (WindX - b.VX) / PushShare;
    b.VY = b.VY + (WindY - b.VY) / PushShare;
  }
}
