#include "framework/win/monitors.h"

#include <vector>

namespace {

ScreenRect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        {FromRect(info.rcMonitor), FromRect(info.rcWork)});
  }
  return TRUE;
}

ScreenRect VirtualScreenMetrics() {
  ScreenRect bounds{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  bounds.Right = bounds.Left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  bounds.Bottom = bounds.Top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  return bounds;
}

ScreenRect PrimaryScreen() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

// Systems before several monitors were known answer 0 for the virtual screen.
ScreenRect VirtualScreenBounds() {
  const ScreenRect bounds = VirtualScreenMetrics();
  return bounds.Empty() ? PrimaryScreen() : bounds;
}

ScreenLayout DesktopLayout() {
  const ScreenRect bounds = VirtualScreenMetrics();
  if (bounds.Empty()) return PrimaryLayout();
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return ScreenLayout(bounds, monitors);
}

ScreenLayout PrimaryLayout() {
  const ScreenRect screen = PrimaryScreen();
  RECT work{};
  ScreenRect workArea = screen;
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) workArea = FromRect(work);
  return ScreenLayout(screen, {{screen, workArea}});
}
