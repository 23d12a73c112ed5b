#include "gdiplus/sprite_blend.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using Pixel = std::array<uint8_t, 4>;  // blue, green, red, alpha

struct Image {
  Image(int32_t width, int32_t height, Pixel fill) : Width(width), Height(height) {
    for (int32_t i = 0; i < width * height; ++i)
      Bytes.insert(Bytes.end(), fill.begin(), fill.end());
  }
  BgraPixels View() { return {Bytes.data(), Width, Height, Width * 4}; }
  Pixel At(int32_t x, int32_t y) const {
    const uint8_t* p = &Bytes[static_cast<size_t>((y * Width + x) * 4)];
    return {p[0], p[1], p[2], p[3]};
  }
  int32_t Width, Height;
  std::vector<uint8_t> Bytes;
};

bool Near(const Pixel& a, const Pixel& b) {
  for (int c = 0; c < 4; ++c)
    if (std::abs(a[c] - b[c]) > 1) return false;
  return true;
}

TEST(BlendSprite, TintsTheBodyPutsTheHighlightOverItAndBlendsOverTheFrame) {
  const TintColour red{255, 0, 0};
  struct Row {
    const char* What;
    uint8_t BodyAlpha;
    Pixel Highlight, Frame, Expected;
  } rows[] = {
      {"opaque body over black", 255, {0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 255, 255}},
      {"nothing to draw", 0, {0, 0, 0, 0}, {10, 20, 30, 255}, {10, 20, 30, 255}},
      {"half a body over white", 128, {0, 0, 0, 0}, {255, 255, 255, 255}, {127, 127, 255, 255}},
      {"white highlight over the body",
       255,
       {255, 255, 255, 255},
       {0, 0, 0, 255},
       {255, 255, 255, 255}},
      {"half a highlight over the body",
       255,
       {255, 255, 255, 128},
       {0, 0, 0, 255},
       {128, 128, 255, 255}},
      {"body over a transparent frame", 100, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 255, 100}},
      {"half over half", 128, {0, 0, 0, 0}, {255, 0, 0, 128}, {85, 0, 170, 192}},
  };
  for (const Row& row : rows) {
    Image body(4, 4, {9, 9, 9, row.BodyAlpha}), highlight(4, 4, row.Highlight),
        frame(4, 4, row.Frame);
    BlendSprite(frame.View(), {body.View(), highlight.View()}, {0, 0, 4, 4}, red);
    EXPECT_TRUE(Near(frame.At(1, 2), row.Expected))
        << row.What << ": " << int(frame.At(1, 2)[0]) << "," << int(frame.At(1, 2)[1]) << ","
        << int(frame.At(1, 2)[2]) << "," << int(frame.At(1, 2)[3]);
  }
}

TEST(BlendSprite, DrawsOnlyTheFramePixelsItsBoxCoversAndNothingForABadBoxOrLayers) {
  const Pixel black{0, 0, 0, 255};
  Image body(8, 8, {0, 0, 0, 255}), highlight(8, 8, {0, 0, 0, 0}), small(4, 4, {0, 0, 0, 0});
  struct Row {
    const char* What;
    PreviewDrawRect Box;
    BgraPixels Highlight;
    int32_t DrawnLeft, DrawnTop, DrawnRight, DrawnBottom;  // empty: nothing drawn
  } rows[] = {
      {"inside, shrunk", {2, 1, 3, 4}, highlight.View(), 2, 1, 5, 5},
      {"over the top left corner", {-5, -6, 8, 8}, highlight.View(), 0, 0, 3, 2},
      {"beyond the bottom right", {4, 5, 100, 100}, highlight.View(), 4, 5, 6, 6},
      {"entirely outside", {7, 0, 4, 4}, highlight.View(), 0, 0, 0, 0},
      {"no width", {1, 1, 0, 3}, highlight.View(), 0, 0, 0, 0},
      {"not a number", {NAN, 1, 3, 3}, highlight.View(), 0, 0, 0, 0},
      {"layers of two sizes", {0, 0, 6, 6}, small.View(), 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    Image frame(6, 6, black);
    BlendSprite(frame.View(), {body.View(), row.Highlight}, row.Box, {0, 200, 0});
    for (int32_t y = 0; y < 6; ++y) {
      for (int32_t x = 0; x < 6; ++x) {
        const bool drawn =
            x >= row.DrawnLeft && x < row.DrawnRight && y >= row.DrawnTop && y < row.DrawnBottom;
        EXPECT_EQ(frame.At(x, y), drawn ? (Pixel{0, 200, 0, 255}) : black)
            << row.What << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
