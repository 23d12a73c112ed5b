// Seams for the tests and the timing program only. The program never sets them and none of
// its headers includes this one; the few sources that honour a seam include it.
#pragma once

#include <cstdint>

// The clock behind MonotonicMicroseconds; null gives the performance counter back.
using MicrosecondClock = int64_t (*)();
void SetMonotonicClockForTests(MicrosecondClock clock);

// Windows fires message timers on its system clock's tick, 15.625 ms, where Wine fires them
// to the millisecond: with the grid on, every TTimer and the host's timer 1 fire as Windows
// would, at the first grid tick at least their period after their last due time.
constexpr int64_t TimerGridMicroseconds = 15625;
void SetTimerGridForTests(bool on);
bool TimerGridOn();
// The first grid tick at or after a microsecond time.
int64_t GridTickAtOrAfter(int64_t microseconds);

// A timer that keeps to the grid while it is on: each firing sets the delay to the next.
class GridPace {
 public:
  // The delay in milliseconds to the timer's first firing, from now.
  uint32_t Start(uint32_t periodMs, int64_t now);
  // The delay to the firing after the one that comes now.
  uint32_t Next(uint32_t periodMs, int64_t now);
  // When the firing that comes next is due, in microseconds.
  int64_t DueAt() const { return Due; }

 private:
  int64_t Due = 0;
};

// The Direct3D scene believes the display refreshes hz times a second, composed (0: as the
// system says), and waits for each refresh by a blocking wait to the next 1/hz boundary
// of the performance counter; or, without blockingWait, by the system's own wait (which
// under Wine returns at once).
void SetFakeRefreshForTests(int hz, bool blockingWait = true);
int FakeRefreshHz();
bool FakeRefreshBlocks();
