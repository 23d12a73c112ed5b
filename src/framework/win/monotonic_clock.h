// The monotonic high-resolution clock (QueryPerformanceCounter) that the scenes pace their
// worlds by, in microseconds.
#pragma once

#include <cstdint>

// What the step clocks read; tests may put a clock of their own behind it.
int64_t MonotonicMicroseconds();
// Always the performance counter itself: for waits that must take real time.
int64_t PerformanceCounterMicroseconds();
