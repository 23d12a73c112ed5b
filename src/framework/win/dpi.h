// The display's dots per inch, asked of the system at run time: every dpi function is newer
// than the oldest Windows the program starts on, so each is looked up, and where none is
// there the system dpi (LOGPIXELSX) answers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The primary monitor's dpi, read from that monitor itself (not from whichever monitor
// holds most of a window): the one scale of a full-screen run.
uint32_t PrimaryMonitorDpi();

// The dpi of the monitor that holds a point of the screen (the nearest one).
uint32_t DpiAt(POINT point);

// The system's message font (the dialog font) at a dpi: SystemParametersInfoForDpi where it
// exists, else the system's metrics scaled from the primary monitor's dpi. None when the
// system gives no metrics.
std::optional<LOGFONTW> MessageFontAt(uint32_t dpi);

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
