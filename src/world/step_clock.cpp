#include "world/step_clock.h"

#include <algorithm>

#include "world/motion.h"

StepClock::StepClock(int64_t periodMicroseconds)
    : StepPeriod(std::max<int64_t>(1, periodMicroseconds)),
      CatchUp(static_cast<int>(std::max<int64_t>(MaxCatchUp, MaxCatchUpTime / StepPeriod))) {}

int StepClock::Advance(int64_t now) {
  if (!Running) {
    Running = true;
    LastDue = now - StepPeriod / 2;
    return 1;
  }
  // A clock that went back (it should not) is taken as a new start without a step.
  if (now < LastDue) {
    LastDue = now - StepPeriod / 2;
    return 0;
  }
  const int64_t owed = (now - LastDue) / StepPeriod;
  if (owed > CatchUp) {
    LastDue = now - StepPeriod / 2;
    return CatchUp;
  }
  LastDue += owed * StepPeriod;
  return static_cast<int>(owed);
}

double StepClock::Phase(int64_t now) const {
  if (!Running) return 1.0;
  const double phase = static_cast<double>(now - LastDue) / static_cast<double>(StepPeriod);
  return std::clamp(phase, 0.0, 1.0);
}

namespace {
uint64_t FramesShownSoFar = 0;
}  // namespace

uint64_t PacedWorld::FramesShown() {
  return FramesShownSoFar;
}

int PacedWorld::Frame(int64_t now, bool canDraw) {
  if (!canDraw) {
    Clock.Restart();
    return 0;
  }
  ++FramesShownSoFar;
  const int steps = Clock.Advance(now);
  for (int i = 0; i < steps; ++i) {
    if (i == steps - 1) RememberPlaces();
    MotionStep();
  }
  return steps;
}

void PacedWorld::RememberPlaces() {
  Remembered = BubblesInUse();
  for (int k = 1; k <= Remembered; ++k) {
    BeforeX[k] = BubbleTable[k].X;
    BeforeY[k] = BubbleTable[k].Y;
  }
}

Bubble PacedWorld::Shown(int k, double phase) const {
  Bubble shown = BubbleTable[k];
  if (k > Remembered || phase >= 1.0) return shown;
  shown.X = BeforeX[k] + (shown.X - BeforeX[k]) * phase;
  shown.Y = BeforeY[k] + (shown.Y - BeforeY[k]) * phase;
  return shown;
}
