// The preview renderer: one frame of the world scaled into the host window.
#pragma once

#include <windows.h>

// Advances the world one motion step, composes the frame off screen from the
// pre-scaled preview images, every bubble tinted afresh and blended over the background
// (sprite_blend.h), and draws it to the window in one call. Every object it makes it
// frees before it returns.
void DrawPreviewFrame(HWND window);
