#include "framework/win/monotonic_clock.h"

#include <windows.h>

#include <algorithm>

#include "framework/win/timing_seams.h"

namespace {

MicrosecondClock TestClock = nullptr;
bool TimerGrid = false;
int FakeRefresh = 0;
bool FakeWaitBlocks = true;

int64_t CounterFrequency() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f{};
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : int64_t(1000000);
  }();
  return frequency;
}

uint32_t CeilMilliseconds(int64_t microseconds) {
  return static_cast<uint32_t>(std::max<int64_t>(1, (microseconds + 999) / 1000));
}

}  // namespace

int64_t PerformanceCounterMicroseconds() {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  const int64_t frequency = CounterFrequency();
  // In two parts, so that the product cannot overflow after days of uptime.
  return count.QuadPart / frequency * 1000000 + count.QuadPart % frequency * 1000000 / frequency;
}

int64_t MonotonicMicroseconds() {
  return TestClock ? TestClock() : PerformanceCounterMicroseconds();
}

void SetMonotonicClockForTests(MicrosecondClock clock) {
  TestClock = clock;
}

void SetTimerGridForTests(bool on) {
  TimerGrid = on;
}

bool TimerGridOn() {
  return TimerGrid;
}

int64_t GridTickAtOrAfter(int64_t microseconds) {
  const int64_t ticks = (microseconds + TimerGridMicroseconds - 1) / TimerGridMicroseconds;
  return ticks * TimerGridMicroseconds;
}

uint32_t GridPace::Start(uint32_t periodMs, int64_t now) {
  Due = GridTickAtOrAfter(now + int64_t(periodMs) * 1000);
  return CeilMilliseconds(Due - now);
}

uint32_t GridPace::Next(uint32_t periodMs, int64_t now) {
  // A firing that came late (a long handler) is followed by the next grid tick due.
  Due = GridTickAtOrAfter(std::max(Due + int64_t(periodMs) * 1000, now));
  return CeilMilliseconds(Due - now);
}

void SetFakeRefreshForTests(int hz, bool blockingWait) {
  FakeRefresh = std::max(0, hz);
  FakeWaitBlocks = blockingWait;
}

bool FakeRefreshBlocks() {
  return FakeWaitBlocks;
}

int FakeRefreshHz() {
  return FakeRefresh;
}
