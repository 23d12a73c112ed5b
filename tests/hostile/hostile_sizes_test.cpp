// Sizes a hand-edited BallSize can ask for, bounded where a renderer would spend its
// memory or its frame time on them.
#include <gtest/gtest.h>

#include <cstdint>

#include "gdiplus/preview_geometry.h"
#include "host/startup_rules.h"

namespace {

TEST(HostileSizes, TheLargestStoredBallSizesGiveARadiusAScreenCanShow) {
  for (int32_t stored : {1000, 100000, 2147483647}) {
    EXPECT_EQ(ComputeBubbleRadius(static_cast<float>(stored) / 10.0f), MaxBubbleRadius) << stored;
  }
  EXPECT_EQ(ComputeBubbleRadius(-1.0f), 0);
  EXPECT_EQ(ComputeBubbleRadius(0.0f), 0);
}

// A full-screen preview (/p 0) runs at scale 1: the largest radius would give sprites of
// 8292 pixels a side, 275 MB each, tinted for every bubble in every frame.
TEST(HostileSizes, PreviewSpritesOfAHugeRadiusAreKeptToTwiceTheFrame) {
  const int32_t side = PreviewSpriteSize(MaxBubbleRadius, 1.0f);
  ASSERT_EQ(side, 8292);
  EXPECT_EQ(LimitSpriteSize(side, 1024, 768), 2048);
  EXPECT_EQ(LimitSpriteSize(side, 600, 1900), 3800);
  // and to twice the body picture the layers are scaled from (226 pixels of the 256).
  EXPECT_EQ(LimitSpriteToPicture(2048, 226), 452);
  EXPECT_EQ(LimitSpriteToPicture(256, 226), 256);  // the full-screen preview's own size
  EXPECT_EQ(LimitSpriteToPicture(2048, 0), 2048);
}

TEST(HostileSizes, OrdinaryPreviewSpritesAreLeftAsTheyAre) {
  // The display settings' preview: 152 pixels for a 1024-pixel world.
  const float scale = PreviewScale(152, 1024);
  const int32_t side = PreviewSpriteSize(78 * 2, scale);
  EXPECT_EQ(LimitSpriteSize(side, 152, 112), side);
  EXPECT_EQ(LimitSpriteSize(0, 152, 112), 0);
  EXPECT_EQ(LimitSpriteSize(50, 0, 0), 0);  // an empty frame draws nothing
}

}  // namespace
