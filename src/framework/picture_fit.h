// Where a picture goes so that it keeps its proportions: filling an area the way a "Fill"
// wallpaper does (scaled to cover it, cut around its centre), or fitted whole inside a
// square with margins.
#pragma once

#include <cstdint>

#include "framework/screen_layout.h"

// The centred part of a picture that has the area's proportions, in the picture's pixels:
// scaled over the area, it covers it without distortion. Never narrower or lower than one
// pixel; the whole picture for an empty picture or area.
ScreenRect FillSource(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth,
                      int32_t areaHeight);

// The centred square of a picture (its shorter side's length).
ScreenRect SquareSource(int32_t pictureWidth, int32_t pictureHeight);

// The largest rectangle with the picture's proportions inside a side x side square, centred:
// the rest of the square is margin. At least one pixel each way for a square of one or more.
ScreenRect FitInSquare(int32_t pictureWidth, int32_t pictureHeight, int32_t side);
