// The desktop as the system lays it out now: the virtual screen and every monitor with
// its work area, for the full-screen run to cover.
#pragma once

#include <windows.h>

#include "framework/screen_layout.h"

ScreenLayout DesktopLayout();
// The virtual screen's bounds alone, without asking for the monitors: cheap enough for every
// tick. The primary screen where the system knows no virtual screen.
ScreenRect VirtualScreenBounds();
// The primary screen alone, at (0, 0): what a preview inside another window scales from.
ScreenLayout PrimaryLayout();
