// The arithmetic of the saver's start-up and input rules, kept free of Windows so the
// numbers are tested natively.
#pragma once

#include <cstdint>

// The radius in pixels could otherwise reach any size a stored BallSize asks for; the
// renderers make bitmaps and windows of about twice it, so it is kept to what a screen
// can show. A negative scale (a negative BallSize) gives radius 0.
inline constexpr int32_t MaxBubbleRadius = 4096;

// SizeScale x 78 in extended precision, nearest integer with halves to even, bounded to
// 0..MaxBubbleRadius.
int32_t ComputeBubbleRadius(float sizeScale);

// A stored bubble count limited to the table: 0..100.
int32_t LimitBallsCount(int32_t count);

// The count the preview and the GDI+ run use: screen width div 120, limited the same way.
int32_t ForcedBallsCount(int32_t screenWidth);

struct ScreenPoint {
  int32_t x;
  int32_t y;
};

// A run ends when the cursor is more than 5 pixels from where it was on either axis: 5 at
// 96 dpi, the same distance in a scaled display's real pixels (slack).
inline constexpr int32_t MouseSlack = 5;
bool MovedBeyondSlack(ScreenPoint origin, ScreenPoint now, int32_t slack = MouseSlack);

// A display change may move the cursor itself (into a monitor that shrank or moved), a
// moment after its notice: for this long after the notice the cursor's place is taken as
// the new origin rather than as a movement. Long enough for a slow frame (a software
// rasteriser's takes near a second) to hold the cursor's news back. Tick counts wrap.
inline constexpr uint32_t DisplayChangeSettleMs = 4000;
bool CursorSettlingAfterDisplayChange(uint32_t changedAtMs, uint32_t nowMs);

// The run rests while the display is off: nobody sees its frames or hears its chimes.
// Windows 8 (6.2) and later tell the console's display state; older systems only whether
// the monitor has power. A notice's value is 0 off, 1 on, 2 dimmed (the console state
// only); a dimmed display still shows the frames.
enum class DisplayNotice { ConsoleDisplayState, MonitorPowerOn };
DisplayNotice ChooseDisplayNotice(uint32_t majorVersion, uint32_t minorVersion);
bool DisplayShowsFrames(uint32_t noticeValue);

// The scene a run shows. A choice of Direct3D stands only where Direct3D draws: without
// ddraw.dll, or once its display could not start or stayed lost, the run shows the GDI+
// scene instead, so that no PC is left with a black screen. The stored choice is not changed.
enum class RunScene { None, DirectDraw, Gdiplus };
enum class DirectDrawState { Untried, Missing, Drawing, GaveUp };
RunScene ChooseRunScene(bool runMode, bool useDirectDraw, DirectDrawState state);
