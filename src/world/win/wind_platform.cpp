#include "world/win/wind_platform.h"

#include <windows.h>

#include "framework/win/monotonic_clock.h"

uint32_t WinWindPlatform::TickCount() {
  return GetTickCount();
}

int64_t WinWindPlatform::Microseconds() {
  return MonotonicMicroseconds();
}

// Never destroyed, so a wind freed during the program's exit still finds it.
WindPlatform& SystemWindPlatform() {
  static auto* platform = new WinWindPlatform;
  return *platform;
}
