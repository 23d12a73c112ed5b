#include "gdiplus/preview_geometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(PreviewGeometry, ScalesA1024PixelWorldInto152PixelsAsInTheWorkedExample) {
  const float scale = PreviewScale(152, 1024);
  EXPECT_EQ(scale, 0.1484375f);
  EXPECT_EQ(PreviewSpriteSize(78, scale), 38);
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

TEST(PreviewGeometry, BoxOfABubblePartlyOffTheFrameHasNegativeEdges) {
  const PreviewBox box = BubbleBox(-20, 10, 78, 0.1484375f);
  EXPECT_EQ(box.Left, -15);  // -14.546875
  EXPECT_EQ(box.Top, -10);   // -10.09375
  const PreviewDrawRect rect = BoxToDrawRect(box);
  EXPECT_EQ(rect.X, -15.0f);
  EXPECT_EQ(rect.Width, static_cast<float>(box.Right - box.Left));
}

TEST(PreviewGeometry, BoxIsComputedInExtendedPrecisionNotInFloats) {
  // 167772165 x 0.1f is 16777216.75 exactly enough to round up; in floats the position
  // would first become 167772160 and the product 16777216.
  const PreviewBox box = BubbleBox(167772165.0, 0, 0, 0.1f);
  EXPECT_EQ(box.Left, 16777217);
}

TEST(PreviewGeometry, AnEmptyPreviewHasScaleAndSpriteSizeZero) {
  EXPECT_EQ(PreviewScale(0, 1024), 0.0f);
  EXPECT_EQ(PreviewSpriteSize(78, 0.0f), 0);
  const PreviewBox box = BubbleBox(512, 384, 78, 0.0f);
  EXPECT_EQ(box.Left, 0);
  EXPECT_EQ(box.Right, 0);
}

TEST(PreviewGeometry, AWorldOfWidthZeroGivesScaleZeroInsteadOfInfinity) {
  EXPECT_EQ(PreviewScale(152, 0), 0.0f);
}

TEST(PreviewGeometry, SpriteSizeFollowsTheRadiusOfEveryBallSize) {
  EXPECT_EQ(PreviewSpriteSize(39, 0.1484375f), 26);   // 178 x s = 26.42
  EXPECT_EQ(PreviewSpriteSize(156, 0.1484375f), 61);  // 412 x s = 61.16
  EXPECT_EQ(PreviewSpriteSize(78, 1.0f), 256);
}

TEST(PreviewGeometry, BodySourceIsCutEighteenPixelsInAndThirtyNarrower) {
  const SourceRect body = BodySourceRect(256);
  EXPECT_EQ(body.X, 18);
  EXPECT_EQ(body.Y, 18);
  EXPECT_EQ(body.Width, 226);
  EXPECT_EQ(body.Height, 226);
  EXPECT_EQ(BodySourceRect(0).Width, 0) << "a picture that failed to load has width 0";
}

TEST(RoundToInt32, SaturatesValuesOutsideTheIntegerRangeAndMapsNanToZero) {
  EXPECT_EQ(RoundToInt32(1e30L), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt32(-1e30L), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToInt32(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToInt32(-2.5L), -2);
}

}  // namespace
