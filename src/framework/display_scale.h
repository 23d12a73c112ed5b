// A scaled display (125 %, 150 %, 200 % ...): the world keeps its 96-dpi units, so speeds,
// sizes and counts mean what they always meant, and only the drawing edge turns world
// units into the display's real pixels. Every conversion rounds half to even, so a length
// and its place round the same way at every scale.
#pragma once

#include <cstdint>

#include "framework/screen_layout.h"

inline constexpr uint32_t StandardDpi = 96;

class DisplayScale {
 public:
  // dpi 0 (the platform could not tell) is the standard 96.
  explicit DisplayScale(uint32_t dpi = StandardDpi);

  uint32_t Dpi() const { return DotsPerInch; }
  bool IsStandard() const { return DotsPerInch == StandardDpi; }
  double Factor() const { return static_cast<double>(DotsPerInch) / StandardDpi; }

  int32_t ToPhysical(int32_t worldUnits) const;
  int32_t ToWorld(int32_t physicalPixels) const;
  // A world position with a fraction (a bubble's centre) in physical pixels.
  float ToPhysical(float worldUnits) const;
  ScreenRect ToPhysical(const ScreenRect& world) const;
  // The world a display of this many physical pixels holds: each side divided, rounded.
  ScreenRect ToWorld(const ScreenRect& physical) const;

 private:
  uint32_t DotsPerInch;
};

// The scale the full-screen run draws at: the primary monitor's, set once at start-up (a
// run keeps one scale; mixed-dpi desktops take the primary's). Standard in a preview.
extern DisplayScale DrawingScale;

// value x numerator / denominator, rounded to the nearest integer, halves to the even one.
int32_t ScaleHalfToEven(int64_t value, int64_t numerator, int64_t denominator);
