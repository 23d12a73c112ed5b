// The program's side of the host contract: the four procedures RunScreenSaver calls.
#pragma once

#include <windows.h>

#include "host/command_line.h"

inline constexpr int32_t BubbleTickInterval = 40;  // ms

// Inside the host window's creation: settings, radius and world, chime, GDI+ and its
// pictures when GDI+ draws, bubbles, then the driver's form (run) or the preview images.
void BubbleStartup(HWND window, ScreenSaverMode mode);
// Draws one preview frame; the full-screen drivers tick on their own form timers.
void BubbleTick(HWND window, ScreenSaverMode mode);
// From the host window's destruction: frees what start-up made, GDI+ last.
void BubbleFinish(HWND window, ScreenSaverMode mode);
// The scene went unseen or is seen again: the run's driver holds or goes on (the preview
// draws on the host's timer, which the host holds itself).
void BubbleSceneShown(HWND window, ScreenSaverMode mode, bool shown);
// The settings dialog, run until it is closed; the parent is not used.
void BubbleConfigure(HWND parent);
