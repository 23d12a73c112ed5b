// The speed buttons' glyphs as 16-colour device-independent bitmaps.
#pragma once

#include <windows.h>

#include "settings/dialog/dialog_core.h"

// A 4-bit DIB section of the glyph; the face index takes faceColour, and greyed turns the
// other colours into light greys for a disabled button. The caller owns it.
HBITMAP CreateGlyphBitmap(GlyphKind kind, COLORREF faceColour, bool greyed);

// Paints an owner-drawn speed button: a push frame (sunken while pressed) and the glyph
// centred on it, the greyed glyph when the button is disabled.
void DrawSpeedButton(const DRAWITEMSTRUCT& item, HBITMAP glyph, HBITMAP greyedGlyph);
