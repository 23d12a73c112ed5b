#include "world/motion.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "world/monitor_walls.h"
#include "world/windbell.h"

namespace {

// A collision whose squared centre distance shrinks by more than this in one step rings.
constexpr double ChimeApproach = 500;

double Square(double v) {
  return v * v;
}

// 4·R² exactly for every 32-bit radius (it needs up to 64 bits unsigned); only
// R = INT32_MIN would reach 2^64, and saturates.
double ContactThreshold(int32_t radius) {
  const uint64_t magnitude =
      radius < 0 ? uint64_t(0) - uint64_t(int64_t(radius)) : uint64_t(radius);
  const uint64_t diameter = 2 * magnitude;
  if (diameter >= (uint64_t(1) << 32))
    return static_cast<double>(std::numeric_limits<uint64_t>::max());
  return static_cast<double>(diameter * diameter);
}

// The collision pass compares every bubble with every other one. Flat copies of the
// positions and of the look-ahead positions keep that inner loop tight. Positions do not
// change during the pass; a look-ahead position changes only when its bubble collides.
struct CollisionScratch {
  double X[BubbleCapacity + 1];
  double Y[BubbleCapacity + 1];
  double NextX[BubbleCapacity + 1];
  double NextY[BubbleCapacity + 1];
  bool Active[BubbleCapacity + 1];
};
CollisionScratch Scratch;

void RefreshLookAhead(int k) {
  const Bubble& b = BubbleTable[k];
  Scratch.NextX[k] = b.X + b.VX;
  Scratch.NextY[k] = b.Y + b.VY;
}

void FillScratch(int n) {
  for (int k = 1; k <= n; ++k) {
    Scratch.X[k] = BubbleTable[k].X;
    Scratch.Y[k] = BubbleTable[k].Y;
    Scratch.Active[k] = BubbleTable[k].Active;
    RefreshLookAhead(k);
  }
}

void StrikeChime(const Bubble& a, const Bubble& b) {
  // WindBell should exist whenever SoundOpen is on; a missing one just means silence.
  if (SoundOpen && WindBell != nullptr) WindBell->Ring(a.Index, b.Index);
}

double SquaredDistance(double dx, double dy) {
  return Square(dx) + Square(dy);
}

// Bubble i against every bubble, itself included; velocities change in place, so each
// examination sees the results of the earlier collisions of the pass. Most pairs are
// far apart one step ahead, so the present distance is only worked out for the others.
void CollideWithAll(int i, int n, double threshold) {
  const double* x = Scratch.X;
  const double* y = Scratch.Y;
  const double* nextX = Scratch.NextX;
  const double* nextY = Scratch.NextY;
  bool blocked = false;
  for (int j = 1; j <= n; ++j) {
    const double next = SquaredDistance(nextX[j] - nextX[i], nextY[j] - nextY[i]);
    if (!(threshold > next) || j == i) continue;
    const double now = SquaredDistance(x[j] - x[i], y[j] - y[i]);
    if (!(next <= now)) continue;
    if (!Scratch.Active[i] || !Scratch.Active[j]) {
      blocked = true;  // inactive bubbles pass through everything they touch
      continue;
    }
    CollideBubbles(BubbleTable[i], BubbleTable[j]);
    RefreshLookAhead(i);
    RefreshLookAhead(j);
    if (now - next > ChimeApproach) StrikeChime(BubbleTable[i], BubbleTable[j]);
  }
  if (!blocked) {
    BubbleTable[i].Active = true;
    Scratch.Active[i] = true;
  }
}

void CollisionPass(int n) {
  const double threshold = ContactThreshold(BubbleRadius);
  FillScratch(n);
  for (int i = 1; i <= n; ++i) CollideWithAll(i, n, threshold);
}

int32_t Negated(int32_t step) {
  return step == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -step;
}

// In 64 bits, so that no step can overflow the channel.
void DriftChannel(int32_t& channel, int32_t& step) {
  const int64_t drifted = int64_t(channel) + step;
  if (drifted > 255) {
    channel = 255;
    step = Negated(step);
  } else if (drifted < 0) {
    channel = 0;
    step = Negated(step);
  } else {
    channel = static_cast<int32_t>(drifted);
  }
}

struct Limits {
  double Low;  // left and top
  double Right;
  double Bottom;
};

Limits WallLimits() {
  const int64_t radius = BubbleRadius;
  return {static_cast<double>(radius), static_cast<double>(WorldRect.Width - radius),
          static_cast<double>(WorldRect.Height - radius)};
}

// Stops a bubble one step early: when its next position would reach a wall it is put on
// the limit and its velocity on that axis turns round, scaled by Restitution.
void MoveBubble(Bubble& b, const Limits& limits) {
  b.X = b.X + b.VX;
  b.Y = b.Y + b.VY;
  const double nextX = b.X + b.VX;
  const double nextY = b.Y + b.VY;
  if (nextX >= limits.Right) b.X = limits.Right;
  if (nextY >= limits.Bottom) b.Y = limits.Bottom;
  if (nextX < limits.Low) b.X = limits.Low;
  if (nextY < limits.Low) b.Y = limits.Low;
  if (nextX >= limits.Right || nextX <= limits.Low) b.VX = -b.VX * Restitution;
  if (nextY >= limits.Bottom || nextY <= limits.Low) b.VY = -b.VY * Restitution;
  DriftChannel(b.Red, b.RedStep);
  DriftChannel(b.Green, b.GreenStep);
  DriftChannel(b.Blue, b.BlueStep);
}

void MovementPass(int n) {
  const Limits limits = WallLimits();
  const bool inner = WallsHoldBubbles(BubbleRadius);
  for (int k = 1; k <= n; ++k) {
    MoveBubble(BubbleTable[k], limits);
    if (inner) KeepOffWalls(BubbleTable[k], BubbleRadius);
  }
}

}  // namespace

namespace {
uint64_t StepsTaken = 0;
}  // namespace

uint64_t MotionStepsTaken() {
  return StepsTaken;
}

void MotionStep() {
  ++StepsTaken;
  const int n = BubblesInUse();
  CollisionPass(n);
  MovementPass(n);
}

void CollideBubbles(Bubble& A, Bubble& B) {
  const double dx = A.X - B.X;
  const double dy = A.Y - B.Y;
  const double d = std::sqrt(dx * dx + dy * dy);
  // Coincident centres give no impact direction; such a pair also moves alike, so
  // leaving it alone loses nothing.
  if (!(d > 0)) return;
  const double c = dx / d;
  const double s = dy / d;
  const double e = Restitution;
  const double tA = s * A.VX - c * A.VY;
  const double tB = s * B.VX - c * B.VY;
  const double nA = c * A.VX + s * A.VY;
  const double nB = c * B.VX + s * B.VY;
  const double newNA = ((1 - e) / 2) * nA + ((1 + e) / 2) * nB;
  const double newNB = ((1 + e) / 2) * nA + ((1 - e) / 2) * nB;
  A.VX = s * tA + c * newNA;
  A.VY = -c * tA + s * newNA;
  B.VX = s * tB + c * newNB;
  B.VY = -c * tB + s * newNB;
}
