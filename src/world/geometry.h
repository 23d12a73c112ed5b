// Portable geometry shared by the world and the renderers.
#pragma once

#include <cstdint>

struct IntPoint {
  int32_t x;
  int32_t y;
};

// The four corners of a gust band, in polygon order.
struct GustBand {
  IntPoint Corner[4];
};

// Point-in-polygon with the nonzero winding rule, as a polygon region of fill
// mode WINDING answers it. The band's polygon crosses itself (an hourglass).
// Points on the outline (edges and corners) count as inside.
bool PointInBand(const GustBand& band, int32_t x, int32_t y);

// Round to nearest, halves to even: every float-to-integer conversion of the world.
// NaN gives 0; values beyond the int64_t range saturate.
int64_t RoundHalfEven(long double v);
