#include "world/win/wind_platform.h"

#include <windows.h>

uint32_t WinWindPlatform::TickCount() {
  return GetTickCount();
}

// Never destroyed, so a wind freed during the program's exit still finds it.
WindPlatform& SystemWindPlatform() {
  static auto* platform = new WinWindPlatform;
  return *platform;
}
