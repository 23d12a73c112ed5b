#include <algorithm>
#include <cstring>

#include "image/pixel_image.h"

void StretchDrawPart(PixelImage& target, const PixelImage& source, PixelRect sourcePart,
                     PixelRect dest) {
  const int32_t left = std::clamp(sourcePart.X, 0, source.Width());
  const int32_t top = std::clamp(sourcePart.Y, 0, source.Height());
  const int32_t right = std::clamp(sourcePart.X + sourcePart.Width, left, source.Width());
  const int32_t bottom = std::clamp(sourcePart.Y + sourcePart.Height, top, source.Height());
  if (right == left || bottom == top) return;
  if (left == 0 && top == 0 && right == source.Width() && bottom == source.Height()) {
    target.StretchDraw(source, dest);
    return;
  }
  PixelImage part;
  part.Palette = source.Palette;
  part.SetSize(right - left, bottom - top, source.BitCount());
  const size_t pixelBytes = static_cast<size_t>(source.BitCount() / 8);
  for (int32_t y = top; y < bottom; ++y) {
    std::memcpy(part.Row(y - top), source.Row(y) + static_cast<size_t>(left) * pixelBytes,
                static_cast<size_t>(right - left) * pixelBytes);
  }
  target.StretchDraw(part, dest);
}
