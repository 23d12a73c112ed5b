#include "display/display_mode.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FullScreenFallback, PrefersTheSmallestModeOfTheSameAspectRatio) {
  const std::vector<DisplayMode> modes{
      {1280, 1024, 32}, {800, 600, 32}, {1024, 768, 16}, {720, 480, 16}, {800, 600, 16}};
  EXPECT_EQ(ChooseFallbackMode(modes), (DisplayMode{800, 600, 16}));
}

TEST(FullScreenFallback, TakesAnyAspectWhenNoneMatches) {
  const std::vector<DisplayMode> modes{{1280, 1024, 32}, {1280, 720, 32}, {1920, 1080, 32}};
  EXPECT_EQ(ChooseFallbackMode(modes), (DisplayMode{1280, 720, 32}));
}

TEST(FullScreenFallback, RefusesPaletteAndTooSmallModes) {
  const std::vector<DisplayMode> modes{{640, 480, 8}, {320, 240, 32}, {640, 400, 32}};
  EXPECT_FALSE(ChooseFallbackMode(modes).has_value());
  EXPECT_FALSE(ChooseFallbackMode({}).has_value());
}

TEST(FullScreenFallback, A640By480ModeOfMoreBitsIsTheSmallest) {
  const std::vector<DisplayMode> modes{{1024, 768, 32}, {640, 480, 32}, {640, 480, 24}};
  EXPECT_EQ(ChooseFallbackMode(modes), (DisplayMode{640, 480, 24}));
}
