#include "framework/win/dpi.h"

#include "framework/win/procedure.h"

namespace {

uint32_t SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<uint32_t>(dpi) : 96;
}

uint32_t MonitorDpi(HMONITOR monitor) {
  // GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y): Windows 8.1 and later.
  using GetDpiForMonitorProc = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto forMonitor =
      LibraryProcedure<GetDpiForMonitorProc>("shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (monitor && forMonitor && SUCCEEDED(forMonitor(monitor, 0, &x, &y)) && x > 0) return x;
  return SystemDpi();
}

using ContextProc = HANDLE(WINAPI*)(HANDLE);

}  // namespace

uint32_t PrimaryMonitorDpi() {
  return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

uint32_t DpiAt(POINT point) {
  return MonitorDpi(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

std::optional<LOGFONTW> MessageFontAt(uint32_t dpi) {
  // SystemParametersInfoForDpi: Windows 10 1607 and later.
  using ForDpiProc = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  static const auto forDpi =
      LibraryProcedure<ForDpiProc>("user32.dll", "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    return metrics.lfMessageFont;
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return std::nullopt;
  }
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight =
      MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(PrimaryMonitorDpi()));
  return font;
}

DpiAwarenessOf::DpiAwarenessOf(HWND window) {
  // Windows 10 1607 and later; before that a process has one awareness for all its windows.
  using WindowContextProc = HANDLE(WINAPI*)(HWND);
  static const auto ofWindow =
      LibraryProcedure<WindowContextProc>("user32.dll", "GetWindowDpiAwarenessContext");
  static const auto setThread =
      LibraryProcedure<ContextProc>("user32.dll", "SetThreadDpiAwarenessContext");
  if (!window || !ofWindow || !setThread) return;
  if (HANDLE context = ofWindow(window)) Previous = setThread(context);
}

DpiAwarenessOf::~DpiAwarenessOf() {
  static const auto setThread =
      LibraryProcedure<ContextProc>("user32.dll", "SetThreadDpiAwarenessContext");
  if (Previous && setThread) setThread(Previous);
}
