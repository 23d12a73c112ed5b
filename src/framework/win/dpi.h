// The display's dots per inch, asked of the system at run time: every dpi function is newer
// than the oldest Windows the program starts on, so each is looked up, and where none is
// there the system dpi (LOGPIXELSX) answers.
#pragma once

#include <windows.h>

#include <cstdint>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The primary monitor's dpi, read from that monitor itself (not from whichever monitor
// holds most of a window): the one scale of a full-screen run.
uint32_t PrimaryMonitorDpi();

// The dpi of the monitor that holds a point of the screen (the nearest one).
uint32_t DpiAt(POINT point);

// The dpi of the monitor a window is on, as the window sees it.
uint32_t WindowDpi(HWND window);

// While it lives, windows this thread makes take the dpi awareness of another window (a
// preview's parent: a child window of another awareness can be refused).
class DpiAwarenessOf {
 public:
  explicit DpiAwarenessOf(HWND window);
  ~DpiAwarenessOf();
  DpiAwarenessOf(const DpiAwarenessOf&) = delete;
  DpiAwarenessOf& operator=(const DpiAwarenessOf&) = delete;

 private:
  HANDLE Previous = nullptr;
};
