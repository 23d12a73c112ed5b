#include "framework/display_scale.h"

#include <limits>

int32_t ScaleHalfToEven(int64_t value, int64_t numerator, int64_t denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  if (denominator == 0) return 0;
  const int64_t product = value * numerator;
  // Floor division, so negative positions round by the same rule as positive ones.
  int64_t quotient = product / denominator;
  int64_t remainder = product % denominator;
  if (remainder < 0) {
    quotient -= 1;
    remainder += denominator;
  }
  const int64_t twice = remainder * 2;
  if (twice > denominator || (twice == denominator && (quotient & 1) != 0)) quotient += 1;
  constexpr int64_t lowest = std::numeric_limits<int32_t>::min();
  constexpr int64_t highest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(quotient < lowest ? lowest : quotient > highest ? highest : quotient);
}

DisplayScale DrawingScale;

DisplayScale::DisplayScale(uint32_t dpi) : DotsPerInch(dpi == 0 ? StandardDpi : dpi) {}

int32_t DisplayScale::ToPhysical(int32_t worldUnits) const {
  return ScaleHalfToEven(worldUnits, DotsPerInch, StandardDpi);
}

int32_t DisplayScale::ToWorld(int32_t physicalPixels) const {
  return ScaleHalfToEven(physicalPixels, StandardDpi, DotsPerInch);
}

float DisplayScale::ToPhysical(float worldUnits) const {
  if (IsStandard()) return worldUnits;
  return static_cast<float>(static_cast<double>(worldUnits) * DotsPerInch / StandardDpi);
}

ScreenRect DisplayScale::ToPhysical(const ScreenRect& world) const {
  return {ToPhysical(world.Left), ToPhysical(world.Top), ToPhysical(world.Right),
          ToPhysical(world.Bottom)};
}

ScreenRect DisplayScale::ToWorld(const ScreenRect& physical) const {
  return {ToWorld(physical.Left), ToWorld(physical.Top), ToWorld(physical.Right),
          ToWorld(physical.Bottom)};
}
