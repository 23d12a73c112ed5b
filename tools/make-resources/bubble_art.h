// The bubble's layers and the soft square mask, all 256 x 256 around the centre
// (127.5, 127.5). The renderers draw them scaled and layered: shadow (black with the
// shadow's alpha), body (its alpha in the bubble's colour), highlights (white) on top.
#pragma once

#include "raster.h"

namespace art {

inline constexpr int LayerSide = 256;
inline constexpr double LayerCentre = 127.5;

// Glass body: white, alpha about 1 inside, rising to a rim of at most 184 near
// radius 104..111, and 0 from radius 111 out. Grey+alpha.
Picture RenderBody();
// Highlights: white; a bright crescent at the upper left of the rim, a small window
// glint, a faint lower-right rim reflection and a trace of light along the rim;
// 0 from radius 110 out. Grey+alpha.
Picture RenderHighlights();
// Shadow: black, alpha about 33 to radius 80, fading to 0 by radius 116. RGBA.
Picture RenderShadow();
// Square mask: white, alpha 255 inside, easing to nearly 0 within 24 pixels of each
// edge (the corners, where two edges meet, softer). RGBA.
Picture RenderMask();

// Alpha profiles behind the pictures, in 0..1 at radius r from the centre.
double BodyAlpha(double r);
double ShadowAlpha(double r);
// Highlight alpha at a point given relative to the centre (y down).
double HighlightAlpha(double dx, double dy);

}  // namespace art
