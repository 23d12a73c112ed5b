// Copies of the screen as it is now, for the desktop background (BackType 2). Areas are
// in screen coordinates: the virtual screen's, so a copy over several monitors holds each
// monitor's own desktop.
#pragma once

#include <windows.h>

#include "framework/screen_layout.h"
#include "image/pixel_image.h"

// A bitmap in the screen's format holding the area; the caller deletes it. Null when GDI
// has no room for one that large.
HBITMAP CopyScreenBitmap(const ScreenRect& area);

// The area as 32-bit pixels, every alpha byte 255: the screen's fourth byte is no alpha.
// Black where the copy could not be made.
PixelImage CopyScreenPixels(const ScreenRect& area);

// The area as it was at the first copy of the process (taken again only if the area is
// another): a scene that takes a run over later still shows the desktop as it was when the
// saver started, not the run's own window.
PixelImage DesktopCopyAtStart(const ScreenRect& area);
