#include "gdiplus/preview_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

int32_t RoundToInt32(long double value) {
  constexpr long double lowest = std::numeric_limits<int32_t>::min();
  constexpr long double highest = std::numeric_limits<int32_t>::max();
  if (std::isnan(value)) return 0;
  // The default rounding mode: to nearest, halves to even.
  const long double rounded = std::nearbyint(value);
  if (rounded <= lowest) return std::numeric_limits<int32_t>::min();
  if (rounded >= highest) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(rounded);
}

float PreviewScale(int32_t previewWidth, int32_t worldWidth) {
  if (previewWidth <= 0 || worldWidth <= 0) return 0.0f;
  return static_cast<float>(static_cast<long double>(previewWidth) / worldWidth);
}

int32_t PreviewSpriteSize(int32_t radius, float scale) {
  const long double side = (2.0L * radius + 100.0L) * static_cast<long double>(scale);
  return RoundToInt32(side);
}

int32_t LimitSpriteSize(int32_t side, int32_t frameWidth, int32_t frameHeight) {
  const int64_t longer = frameWidth > frameHeight ? frameWidth : frameHeight;
  const int64_t limit = 2 * (longer > 0 ? longer : 0);
  return side > limit ? static_cast<int32_t>(limit) : side;
}

int32_t LimitSpriteToPicture(int32_t side, int32_t pictureSide) {
  if (pictureSide <= 0) return side;
  const int64_t limit = 2 * static_cast<int64_t>(pictureSide);
  return side > limit ? static_cast<int32_t>(limit) : side;
}

PreviewBox BubbleBox(double x, double y, int32_t radius, float scale) {
  const long double r = radius;
  const long double s = scale;
  return PreviewBox{
      RoundToInt32((static_cast<long double>(x) - r) * s),
      RoundToInt32((static_cast<long double>(y) - r) * s),
      RoundToInt32((static_cast<long double>(x) + r) * s),
      RoundToInt32((static_cast<long double>(y) + r) * s),
  };
}

PreviewDrawRect BoxToDrawRect(const PreviewBox& box) {
  return PreviewDrawRect{
      static_cast<float>(box.Left),
      static_cast<float>(box.Top),
      static_cast<float>(static_cast<int64_t>(box.Right) - box.Left),
      static_cast<float>(static_cast<int64_t>(box.Bottom) - box.Top),
  };
}

SourceRect BodySourceRect(int32_t pictureWidth) {
  constexpr int32_t margin = 18;
  constexpr int32_t cut = 30;  // 18 on the left or top, 12 on the right or bottom
  const int32_t side = pictureWidth > cut ? pictureWidth - cut : 0;
  return SourceRect{margin, margin, side, side};
}
