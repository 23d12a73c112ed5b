// The world stays in 96-dpi units and only drawing turns it into real pixels: every
// length the saver gives in pixels, at the common scales, with halves rounded to even.
#include "framework/display_scale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ScaleCase {
  uint32_t Dpi;
  // World units -> physical pixels for: mouse slack 5, shadow offsets 20 and 30, picture
  // inset 35, radius 78, forced-count width 120, GDI+ window side 2 x 78 + 50.
  int32_t Slack, ShadowX, ShadowY, Inset, Radius, CountWidth, WindowSide;
  // The world a 1920 x 1080 primary and an odd 1365-pixel side give.
  int32_t WorldWidth, WorldHeight, WorldOddSide;
};

void PrintTo(const ScaleCase& c, std::ostream* out) {
  *out << c.Dpi << " dpi";
}

class Scales : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(Scales, MapWorldLengthsToPixelsAndScreensToWorlds) {
  const ScaleCase& c = GetParam();
  const DisplayScale scale(c.Dpi);
  EXPECT_EQ(scale.ToPhysical(5), c.Slack);
  EXPECT_EQ(scale.ToPhysical(20), c.ShadowX);
  EXPECT_EQ(scale.ToPhysical(30), c.ShadowY);
  EXPECT_EQ(scale.ToPhysical(35), c.Inset);
  EXPECT_EQ(scale.ToPhysical(78), c.Radius);
  EXPECT_EQ(scale.ToPhysical(120), c.CountWidth);
  EXPECT_EQ(scale.ToPhysical(2 * 78 + 50), c.WindowSide);
  EXPECT_EQ(scale.ToWorld(ScreenRect{0, 0, 1920, 1080}),
            (ScreenRect{0, 0, c.WorldWidth, c.WorldHeight}));
  EXPECT_EQ(scale.ToWorld(1365), c.WorldOddSide);
  // Negative places (a monitor left of the primary) round as their mirror images do.
  EXPECT_EQ(scale.ToPhysical(-5), -c.Slack);
  EXPECT_EQ(scale.ToPhysical(-35), -c.Inset);
  // A bubble's centre keeps its fraction.
  EXPECT_FLOAT_EQ(scale.ToPhysical(10.5f), 10.5f * static_cast<float>(scale.Factor()));
}

INSTANTIATE_TEST_SUITE_P(Dpis, Scales,
                         ::testing::Values(
                             //        slack shX shY inset  R   cw  side  wW    wH   odd
                             ScaleCase{96, 5, 20, 30, 35, 78, 120, 206, 1920, 1080, 1365},
                             // 6.25, 37.5 -> 38, 43.75, 97.5 -> 98, 257.5 -> 258; 1092.0
                             ScaleCase{120, 6, 25, 38, 44, 98, 150, 258, 1536, 864, 1092},
                             // 7.5 -> 8, 52.5 -> 52; 910.67 -> 911
                             ScaleCase{144, 8, 30, 45, 52, 117, 180, 309, 1280, 720, 910},
                             // 682.5 -> 682
                             ScaleCase{192, 10, 40, 60, 70, 156, 240, 412, 960, 540, 682}));

TEST(ScaleHalfToEven, RoundsTiesToTheEvenNeighbourAndNeverOverflows) {
  EXPECT_EQ(ScaleHalfToEven(1367, 1, 2), 684);  // 683.5
  EXPECT_EQ(ScaleHalfToEven(-1367, 1, 2), -684);
  EXPECT_EQ(ScaleHalfToEven(5, 3, -2), -8);  // -7.5
  EXPECT_EQ(ScaleHalfToEven(7, 1, 0), 0);
  EXPECT_EQ(ScaleHalfToEven(INT32_MAX, 2, 1), INT32_MAX);
  EXPECT_EQ(ScaleHalfToEven(INT32_MIN, 2, 1), INT32_MIN);
  EXPECT_EQ(DisplayScale(0).Dpi(), StandardDpi);
}

}  // namespace
