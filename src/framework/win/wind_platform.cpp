#include "framework/win/wind_platform.h"

#include <windows.h>

uint32_t WinWindPlatform::TickCount() {
  return GetTickCount();
}

WindPlatform& SystemWindPlatform() {
  static WinWindPlatform platform;
  return platform;
}
