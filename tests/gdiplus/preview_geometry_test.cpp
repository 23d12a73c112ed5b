#include "gdiplus/preview_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(PreviewGeometry, ScalesA1024PixelWorldInto152PixelsAsInTheWorkedExample) {
  const float scale = PreviewScale(152, 1024);
  EXPECT_EQ(scale, 0.1484375f);
  EXPECT_EQ(PreviewSpriteSize(78, scale), 38);
  EXPECT_EQ(PreviewSpriteSize(156, scale), 61);  // 412 x s = 61.16
}

TEST(PreviewGeometry, BoxOfTheCentreBubbleIsRoundedToTheNearestPixel) {
  const PreviewBox box = BubbleBox(512, 384, 78, 0.1484375f);
  EXPECT_EQ(box.Left, 64);    // 64.421875
  EXPECT_EQ(box.Top, 45);     // 45.421875
  EXPECT_EQ(box.Right, 88);   // 87.578125
  EXPECT_EQ(box.Bottom, 69);  // 68.578125
  const PreviewDrawRect rect = BoxToDrawRect(box);
  EXPECT_EQ(rect.X, 64.0f);
  EXPECT_EQ(rect.Y, 45.0f);
  EXPECT_EQ(rect.Width, 24.0f);
  EXPECT_EQ(rect.Height, 24.0f);
}

TEST(PreviewGeometry, BoxEdgesExactlyHalfwayRoundToTheEvenPixel) {
  // Scale 0.5, radius 1: x = 130 gives Left (129 x 0.5) 64.5 and Right (131 x 0.5) 65.5.
  const PreviewBox box = BubbleBox(130, 6, 1, 0.5f);
  EXPECT_EQ(box.Left, 64);
  EXPECT_EQ(box.Right, 66);
  EXPECT_EQ(box.Top, 2);     // 2.5
  EXPECT_EQ(box.Bottom, 4);  // 3.5
}

TEST(PreviewGeometry, BoxIsComputedInExtendedPrecisionNotInFloats) {
  // 167772165 x 0.1f is 16777216.75 and rounds up; in floats the position would first
  // become 167772160 and the product 16777216.
  EXPECT_EQ(BubbleBox(167772165.0, 0, 0, 0.1f).Left, 16777217);
}

TEST(PreviewGeometry, AnEmptyPreviewOrWorldHasScaleAndSpriteSizeZero) {
  EXPECT_EQ(PreviewScale(0, 1024), 0.0f);
  EXPECT_EQ(PreviewScale(152, 0), 0.0f) << "not infinity";
  EXPECT_EQ(PreviewSpriteSize(78, 0.0f), 0);
}

}  // namespace

// Only the part of a sprite the frame shows is made: a 1000-pixel sprite over a 100 x 80
// frame, stretched over boxes inside, across the edges of and far larger than the frame.
