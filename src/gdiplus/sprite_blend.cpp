#include "gdiplus/sprite_blend.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// A premultiplied pixel, each channel 0..1.
struct Premultiplied {
  float B = 0, G = 0, R = 0, A = 0;
};

const uint8_t* PixelAt(const BgraPixels& image, int32_t x, int32_t y) {
  return image.Scan0 + static_cast<ptrdiff_t>(y) * image.Stride + static_cast<ptrdiff_t>(x) * 4;
}

// Where a frame pixel's centre falls in the sprite: the two source pixels around it and the
// weight of the second, clamped to the sprite's edges.
struct Tap {
  int32_t First, Second;
  float Weight;
};

Tap TapAt(float position, int32_t side) {
  const float clamped = std::clamp(position, 0.0f, static_cast<float>(side - 1));
  const auto first = static_cast<int32_t>(clamped);
  return {first, std::min(first + 1, side - 1), clamped - static_cast<float>(first)};
}

// The highlight over the tinted body at one point of the sprite, bilinearly.
Premultiplied SampleSprite(const SpriteLayers& layers, const Tap& across, const Tap& down,
                           const float tint[3]) {
  const int32_t xs[2] = {across.First, across.Second};
  const int32_t ys[2] = {down.First, down.Second};
  const float wx[2] = {1.0f - across.Weight, across.Weight};
  const float wy[2] = {1.0f - down.Weight, down.Weight};
  float bodyAlpha = 0;
  float light[4] = {0, 0, 0, 0};  // premultiplied blue, green, red, alpha, 0..255
  for (int j = 0; j < 2; ++j) {
    const uint8_t* bodyRow = PixelAt(layers.Body, 0, ys[j]);
    const uint8_t* lightRow = PixelAt(layers.Highlight, 0, ys[j]);
    for (int i = 0; i < 2; ++i) {
      const float weight = wx[i] * wy[j];
      bodyAlpha += static_cast<float>(bodyRow[xs[i] * 4 + 3]) * weight;
      const uint8_t* h = lightRow + xs[i] * 4;
      const float a = static_cast<float>(h[3]) * weight;
      light[0] += static_cast<float>(h[0]) * a;
      light[1] += static_cast<float>(h[1]) * a;
      light[2] += static_cast<float>(h[2]) * a;
      light[3] += a;
    }
  }
  const float lightAlpha = light[3] / 255.0f;
  const float under = bodyAlpha / 255.0f * (1.0f - lightAlpha);
  return {light[0] / 65025.0f + tint[0] * under, light[1] / 65025.0f + tint[1] * under,
          light[2] / 65025.0f + tint[2] * under, lightAlpha + under};
}

uint8_t ToByte(float value) {
  return static_cast<uint8_t>(std::clamp(value * 255.0f + 0.5f, 0.0f, 255.0f));
}

void BlendOver(uint8_t* pixel, const Premultiplied& source) {
  if (source.A <= 0.0f) return;
  const float below = static_cast<float>(pixel[3]) / 255.0f * (1.0f - source.A);
  const float alpha = source.A + below;
  const float keep = below / 255.0f;
  pixel[0] = ToByte((source.B + static_cast<float>(pixel[0]) * keep) / alpha);
  pixel[1] = ToByte((source.G + static_cast<float>(pixel[1]) * keep) / alpha);
  pixel[2] = ToByte((source.R + static_cast<float>(pixel[2]) * keep) / alpha);
  pixel[3] = ToByte(alpha);
}

bool SameSquare(const BgraPixels& a, const BgraPixels& b) {
  return a.Scan0 && b.Scan0 && a.Width > 0 && a.Width == a.Height && a.Width == b.Width &&
         a.Height == b.Height;
}

}  // namespace

void BlendSprite(BgraPixels frame, const SpriteLayers& layers, const PreviewDrawRect& box,
                 TintColour colour) {
  if (!frame.Scan0 || !SameSquare(layers.Body, layers.Highlight)) return;
  if (!(box.Width > 0.0f) || !(box.Height > 0.0f) || !std::isfinite(box.X) ||
      !std::isfinite(box.Y) || !std::isfinite(box.Width) || !std::isfinite(box.Height))
    return;
  const int32_t side = layers.Body.Width;
  const float stepX = static_cast<float>(side) / box.Width;
  const float stepY = static_cast<float>(side) / box.Height;
  auto firstPixel = [](float edge, int32_t limit) {
    return static_cast<int32_t>(
        std::clamp(std::ceil(edge - 0.5f), 0.0f, static_cast<float>(limit)));
  };
  const int32_t left = firstPixel(box.X, frame.Width);
  const int32_t right = firstPixel(box.X + box.Width, frame.Width);
  const int32_t top = firstPixel(box.Y, frame.Height);
  const int32_t bottom = firstPixel(box.Y + box.Height, frame.Height);
  if (left >= right || top >= bottom) return;
  std::vector<Tap> columns;
  columns.reserve(static_cast<size_t>(right - left));
  for (int32_t x = left; x < right; ++x)
    columns.push_back(TapAt((static_cast<float>(x) + 0.5f - box.X) * stepX - 0.5f, side));
  const float tint[3] = {colour.Blue / 255.0f, colour.Green / 255.0f, colour.Red / 255.0f};
  for (int32_t y = top; y < bottom; ++y) {
    const Tap down = TapAt((static_cast<float>(y) + 0.5f - box.Y) * stepY - 0.5f, side);
    uint8_t* pixel = frame.Scan0 + static_cast<ptrdiff_t>(y) * frame.Stride + left * 4;
    for (const Tap& across : columns) {
      BlendOver(pixel, SampleSprite(layers, across, down, tint));
      pixel += 4;
    }
  }
}
