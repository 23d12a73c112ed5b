#include "gdiplus/scene/scene_rules.h"

#include <algorithm>
#include <cmath>

#include "framework/string_list.h"
#include "world/bubble_table.h"

namespace {

constexpr int32_t BodyMargin = 18;    // transparent border of the built-in pictures
constexpr int32_t ShadowDrop = 10;    // the shadow falls this far below the body
constexpr int32_t ShadowGrowth = 20;  // and is this much larger
constexpr int32_t PictureInset = 35;  // the picture sits this far inside the body
constexpr int32_t LowestShownSum = 150;
constexpr int32_t HighestShownSum = 600;
constexpr double FarOffScreen = 1.0e9;

int32_t RoundHalfEven(double value) {
  // A runaway coordinate must not overflow the conversion.
  return static_cast<int32_t>(std::nearbyint(std::clamp(value, -FarOffScreen, FarOffScreen)));
}

}  // namespace

int32_t SceneBubbleRadius(int32_t radius, int32_t windowCount, int32_t screenSide,
                          const DisplayScale& scale) {
  const uint64_t perWindow = LayerBudgetBytes / 4 / static_cast<uint64_t>(std::max(windowCount, 1));
  // Rounded down: a window a unit too large would break the budget in real pixels.
  const auto budgetSide =
      static_cast<int64_t>(std::sqrt(static_cast<double>(perWindow))) * StandardDpi / scale.Dpi();
  const int64_t side = std::min<int64_t>(budgetSide, std::max(screenSide, 0));
  const auto largest = static_cast<int32_t>(std::max<int64_t>(0, (side - ShadowMargin) / 2));
  return std::clamp(radius, 0, largest);
}

int32_t BubbleWindowSide(int32_t sceneRadius) {
  return 2 * std::max(sceneRadius, 0) + ShadowMargin;
}

BallComposition ComposeBall(int32_t radius, int32_t ballWidth, int32_t ballHeight) {
  const int32_t body = 2 * radius;
  const LayerRect cut{BodyMargin, BodyMargin, ballWidth - 2 * BodyMargin,
                      ballHeight - 2 * BodyMargin};
  BallComposition layout{};
  layout.BodySource = cut;
  layout.BodyDest = {0, 0, body, body};
  layout.ShadowSource = {0, 0, ballWidth, ballHeight};
  layout.ShadowDest = {0, ShadowDrop, body + ShadowGrowth, body + ShadowGrowth};
  layout.PictureDest = {PictureInset, PictureInset, body - 2 * PictureInset,
                        body - 2 * PictureInset};
  layout.HighlightSource = cut;
  layout.HighlightDest = {0, 0, body, body};
  return layout;
}

bool DrawsPicture(bool showPicture, std::string_view ballPic, const BallComposition& layout) {
  return showPicture && !Trim(ballPic).empty() && !layout.PictureDest.Empty();
}

void DriftChannel(TintChannel& channel, int32_t turnLimit) {
  channel.Value += channel.Step;
  if (channel.Value < 0 || channel.Value > turnLimit) channel.Step = -channel.Step;
  channel.Value = std::clamp(channel.Value, 0, TintCeiling);
}

void DriftTint(BallTint& tint) {
  DriftChannel(tint.Red, RedTurnLimit);
  DriftChannel(tint.Green, TintCeiling);
  DriftChannel(tint.Blue, TintCeiling);
}

bool TintUpdatesWindow(const BallTint& tint) {
  const int32_t sum = tint.Sum();
  return sum > LowestShownSum && sum < HighestShownSum;
}

WindowOrigin BubbleWindowOrigin(double x, double y, int32_t radius) {
  return {RoundHalfEven(x - radius), RoundHalfEven(y - radius)};
}

int32_t PushRandomBubble() {
  const int count = BubblesInUse();
  if (count <= 0) return 0;
  const int32_t k = Random(count) + 1;
  Bubble& bubble = BubbleTable[k];
  bubble.VX += 1 - Random(3);
  bubble.VY += 1 - Random(3);
  return k;
}

void PremultiplyRows(const uint8_t* source, int32_t sourceStride, uint8_t* dest, int32_t destStride,
                     int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = source + static_cast<intptr_t>(y) * sourceStride;
    uint8_t* out = dest + static_cast<intptr_t>(y) * destStride;
    for (int32_t x = 0; x < width; ++x, in += 4, out += 4) {
      const uint32_t alpha = in[3];
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((in[c] * alpha + 127) / 255);
      out[3] = static_cast<uint8_t>(alpha);
    }
  }
}

LayerRect ToPhysical(const LayerRect& rect, const DisplayScale& scale) {
  const int32_t left = scale.ToPhysical(rect.X);
  const int32_t top = scale.ToPhysical(rect.Y);
  return {left, top, scale.ToPhysical(rect.X + rect.Width) - left,
          scale.ToPhysical(rect.Y + rect.Height) - top};
}

BallComposition ToPhysical(BallComposition layout, const DisplayScale& scale) {
  for (LayerRect* dest :
       {&layout.BodyDest, &layout.ShadowDest, &layout.PictureDest, &layout.HighlightDest}) {
    *dest = ToPhysical(*dest, scale);
  }
  return layout;
}
