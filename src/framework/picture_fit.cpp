#include "framework/picture_fit.h"

#include <algorithm>

namespace {

// value * numerator / denominator rounded to the nearest integer, kept to 1..limit.
int32_t ScaledLength(int64_t value, int64_t numerator, int64_t denominator, int32_t limit) {
  const int64_t rounded = (2 * value * numerator + denominator) / (2 * denominator);
  return static_cast<int32_t>(std::clamp<int64_t>(rounded, 1, limit));
}

}  // namespace

ScreenRect FillSource(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth,
                      int32_t areaHeight) {
  const ScreenRect whole{0, 0, pictureWidth, pictureHeight};
  if (whole.Empty() || areaWidth <= 0 || areaHeight <= 0) return whole;
  // Cross products compare the two shapes without rounding.
  const int64_t pictureShape = int64_t{pictureWidth} * areaHeight;
  const int64_t areaShape = int64_t{areaWidth} * pictureHeight;
  if (pictureShape > areaShape) {
    const int32_t width = ScaledLength(pictureHeight, areaWidth, areaHeight, pictureWidth);
    const int32_t left = (pictureWidth - width) / 2;
    return {left, 0, left + width, pictureHeight};
  }
  const int32_t height = ScaledLength(pictureWidth, areaHeight, areaWidth, pictureHeight);
  const int32_t top = (pictureHeight - height) / 2;
  return {0, top, pictureWidth, top + height};
}

ScreenRect SquareSource(int32_t pictureWidth, int32_t pictureHeight) {
  return FillSource(pictureWidth, pictureHeight, 1, 1);
}

ScreenRect FitInSquare(int32_t pictureWidth, int32_t pictureHeight, int32_t side) {
  if (side <= 0) return {};
  if (pictureWidth <= 0 || pictureHeight <= 0) return {0, 0, side, side};
  int32_t width = side;
  int32_t height = side;
  if (pictureWidth > pictureHeight) {
    height = ScaledLength(side, pictureHeight, pictureWidth, side);
  } else {
    width = ScaledLength(side, pictureWidth, pictureHeight, side);
  }
  const int32_t left = (side - width) / 2;
  const int32_t top = (side - height) / 2;
  return {left, top, left + width, top + height};
}
