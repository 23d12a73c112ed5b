// The GDI+ scene's portable rules: bubble window geometry, tint drift and the update
// window of tint sums, window placement, the mouse-start rule, the random push, the
// background choice and the premultiplied copy.
#include "gdiplus/scene/scene_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <vector>

#include "world/bubble_table.h"

namespace {

void ExpectRect(const LayerRect& rect, int32_t x, int32_t y, int32_t w, int32_t h) {
  EXPECT_EQ(rect.X, x);
  EXPECT_EQ(rect.Y, y);
  EXPECT_EQ(rect.Width, w);
  EXPECT_EQ(rect.Height, h);
}

BallTint TintOf(int32_t red, int32_t green, int32_t blue) {
  return {{red, 30}, {green, 30}, {blue, 30}};
}

}  // namespace

TEST(BubbleWindowGeometry, RadiusSeventyEightGivesTheDesignedLayout) {
  EXPECT_EQ(SceneBubbleRadius(78, 8, 768), 78);
  EXPECT_EQ(BubbleWindowSide(78), 206);
  const BallComposition layout = ComposeBall(78, 256, 256);
  ExpectRect(layout.BodySource, 18, 18, 220, 220);
  ExpectRect(layout.BodyDest, 0, 0, 156, 156);
  ExpectRect(layout.ShadowSource, 0, 0, 256, 256);
  ExpectRect(layout.ShadowDest, 0, 10, 176, 176);
  ExpectRect(layout.PictureDest, 35, 35, 86, 86);
  ExpectRect(layout.HighlightSource, 18, 18, 220, 220);
  ExpectRect(layout.HighlightDest, 0, 0, 156, 156);
}

TEST(BubbleWindowGeometry, SourceRectanglesFollowTheBodyPictureSize) {
  const BallComposition layout = ComposeBall(39, 128, 100);
  ExpectRect(layout.BodySource, 18, 18, 92, 64);
  ExpectRect(layout.ShadowSource, 0, 0, 128, 100);
  ExpectRect(layout.HighlightSource, 18, 18, 92, 64);
  ExpectRect(layout.ShadowDest, 0, 10, 98, 98);
}

TEST(BubbleWindowGeometry, SmallBubblesHaveNoRoomForAPicture) {
  EXPECT_TRUE(ComposeBall(35, 256, 256).PictureDest.Empty());
  EXPECT_TRUE(ComposeBall(20, 256, 256).PictureDest.Empty());
  EXPECT_FALSE(ComposeBall(36, 256, 256).PictureDest.Empty());
  EXPECT_FALSE(DrawsPicture(true, "a.png", ComposeBall(35, 256, 256)));
  EXPECT_TRUE(DrawsPicture(true, "a.png", ComposeBall(36, 256, 256)));
}

TEST(BubbleWindowGeometry, OnlyTheFirstWindowWithAPictureListDrawsAPicture) {
  const BallComposition layout = ComposeBall(78, 256, 256);
  EXPECT_TRUE(DrawsPicture(true, "c:\\p.png", layout));
  EXPECT_FALSE(DrawsPicture(false, "c:\\p.png", layout));
  EXPECT_FALSE(DrawsPicture(true, "", layout));
  EXPECT_FALSE(DrawsPicture(true, " \t\r\n", layout));
}

TEST(BubbleWindowGeometry, AbsurdRadiiAreDrawnAtTheLargestSizeTheScreenAndBudgetAllow) {
  // BallSize 20, the dialog's largest, is drawn at its own size even with 100 windows.
  EXPECT_EQ(SceneBubbleRadius(156, 100, 768), 156);
  // The window never outgrows the screen's shorter side.
  EXPECT_EQ(SceneBubbleRadius(4096, 8, 768), 359);
  EXPECT_EQ(BubbleWindowSide(359), 768);
  EXPECT_EQ(SceneBubbleRadius(400, 8, 768), 359);
  EXPECT_EQ(SceneBubbleRadius(359, 8, 768), 359);
  // Many windows on a large screen share the budget.
  for (int32_t count : {1, 8, 15, 100}) {
    const int64_t side = BubbleWindowSide(SceneBubbleRadius(4096, count, 4320));
    EXPECT_LE(static_cast<uint64_t>(side * side * 4 * count), LayerBudgetBytes) << count;
  }
  EXPECT_EQ(SceneBubbleRadius(4096, 100, 4320), 264);
}

TEST(BubbleWindowGeometry, AScaledDisplayDrawsTheLayerAtItsRealPixels) {
  // Radius 78: window 206, picture at 35 of 86, shadow from 10 of 176, in world units.
  const struct {
    uint32_t Dpi;
    int32_t Window;
    LayerRect Picture, Shadow;
  } scales[] = {{96, 206, {35, 35, 86, 86}, {0, 10, 176, 176}},
                {120, 258, {44, 44, 107, 107}, {0, 12, 220, 220}},  // 43.75, 151.25 - 43.75
                {144, 309, {52, 52, 130, 130}, {0, 15, 264, 264}},  // 52.5 -> 52, 181.5 -> 182
                {192, 412, {70, 70, 172, 172}, {0, 20, 352, 352}}};
  for (const auto& s : scales) {
    SCOPED_TRACE(s.Dpi);
    const DisplayScale scale(s.Dpi);
    EXPECT_EQ(scale.ToPhysical(BubbleWindowSide(78)), s.Window);
    const BallComposition layout = ToPhysical(ComposeBall(78, 256, 256), scale);
    ExpectRect(layout.PictureDest, s.Picture.X, s.Picture.Y, s.Picture.Width, s.Picture.Height);
    ExpectRect(layout.ShadowDest, s.Shadow.X, s.Shadow.Y, s.Shadow.Width, s.Shadow.Height);
    ExpectRect(layout.BodySource, 18, 18, 220, 220);  // the picture's own pixels
  }
  // The layer budget counts real pixels: at 200 % a quarter of the windows' area in world units.
  EXPECT_EQ(SceneBubbleRadius(4096, 100, 4320, DisplayScale(192)), 119);
}

TEST(BubbleWindowGeometry, NegativeOrZeroSizesGiveAWindowOfTheShadowMarginAlone) {
  EXPECT_EQ(SceneBubbleRadius(-10, 8, 768), 0);
  EXPECT_EQ(SceneBubbleRadius(78, 0, 768), 78);
  EXPECT_EQ(SceneBubbleRadius(78, 8, 0), 0);
  EXPECT_EQ(BubbleWindowSide(0), 50);
  EXPECT_EQ(BubbleWindowSide(-3), 50);
}

TEST(TintDrift, RedTurnsAtTwoHundredAndSixAndIsClampedAtTwoHundredAndTwentyFive) {
  TintChannel red{200, 40};
  DriftChannel(red, RedTurnLimit);
  EXPECT_EQ(red.Value, 225);
  EXPECT_EQ(red.Step, -40);
  DriftChannel(red, RedTurnLimit);
  EXPECT_EQ(red.Value, 185);
  EXPECT_EQ(red.Step, -40);

  TintChannel exactly{180, 26};  // 206: the first value that turns red
  DriftChannel(exactly, RedTurnLimit);
  EXPECT_EQ(exactly.Value, 206);
  EXPECT_EQ(exactly.Step, -26);
  TintChannel below{180, 25};  // 205 keeps going
  DriftChannel(below, RedTurnLimit);
  EXPECT_EQ(below.Step, 25);
}

TEST(TintDrift, GreenAndBlueTurnOnlyAboveTwoHundredAndTwentyFive) {
  BallTint tint{{0, 25}, {200, 25}, {240, 30}};
  DriftTint(tint);
  EXPECT_EQ(tint.Green.Value, 225);
  EXPECT_EQ(tint.Green.Step, 25);  // 225 is no turn for green
  EXPECT_EQ(tint.Blue.Value, 225);
  EXPECT_EQ(tint.Blue.Step, -30);  // 270 turned and clamped
  DriftTint(tint);
  EXPECT_EQ(tint.Blue.Value, 195);
  EXPECT_EQ(tint.Green.Value, 225);
  EXPECT_EQ(tint.Green.Step, -25);
}

TEST(TintDrift, AStartAboveTheCeilingIsBroughtIntoRangeAtTheFirstRender) {
  TintChannel green{240, 30};
  DriftChannel(green, TintCeiling);
  EXPECT_EQ(green.Value, 225);
  EXPECT_EQ(green.Step, -30);
  DriftChannel(green, TintCeiling);
  EXPECT_EQ(green.Value, 195);
}

TEST(TintDrift, BelowZeroTurnsUpwardsAndClampsToZero) {
  TintChannel blue{10, -35};
  DriftChannel(blue, TintCeiling);
  EXPECT_EQ(blue.Value, 0);
  EXPECT_EQ(blue.Step, 35);
  DriftChannel(blue, TintCeiling);
  EXPECT_EQ(blue.Value, 35);
}

TEST(TintUpdate, OnlySumsStrictlyBetweenOneHundredFiftyAndSixHundredReachTheWindow) {
  EXPECT_FALSE(TintUpdatesWindow(TintOf(50, 50, 50)));
  EXPECT_TRUE(TintUpdatesWindow(TintOf(51, 50, 50)));
  EXPECT_TRUE(TintUpdatesWindow(TintOf(199, 200, 200)));
  EXPECT_FALSE(TintUpdatesWindow(TintOf(200, 200, 200)));
  EXPECT_FALSE(TintUpdatesWindow(TintOf(0, 0, 0)));
  EXPECT_FALSE(TintUpdatesWindow(TintOf(225, 225, 225)));
}

TEST(WindowPlacement, TheWindowCornerIsTheCentreLessTheRadiusRoundedHalfToEven) {
  const WindowOrigin a = BubbleWindowOrigin(100.0, 200.0, 78);
  EXPECT_EQ(a.Left, 22);
  EXPECT_EQ(a.Top, 122);
  const WindowOrigin halves = BubbleWindowOrigin(80.5, 81.5, 78);  // 2.5 and 3.5
  EXPECT_EQ(halves.Left, 2);
  EXPECT_EQ(halves.Top, 4);
  const WindowOrigin negative = BubbleWindowOrigin(77.5, 10.4, 78);  // -0.5 and -67.6
  EXPECT_EQ(negative.Left, 0);
  EXPECT_EQ(negative.Top, -68);
}

TEST(WindowPlacement, RunawayCoordinatesDoNotOverflow) {
  const WindowOrigin far = BubbleWindowOrigin(1e300, -1e300, 78);
  EXPECT_GT(far.Left, 100000000);
  EXPECT_LT(far.Top, -100000000);
}

class RandomPush : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedCount = BallsCount;
    std::memset(&BubbleTable[0], 0, sizeof BubbleTable);
    for (int k = 1; k <= BubbleCapacity; ++k) BubbleTable[k].Index = k;
  }
  void TearDown() override { BallsCount = SavedCount; }
  int32_t SavedCount = 0;
};

TEST_F(RandomPush, ChangesOneBubbleInUseByMinusOneZeroOrOnePerAxisActiveOrNot) {
  BallsCount = 4;
  BubbleTable[2].Active = false;
  SeedRandom(12345);
  std::set<double> seen;
  std::set<int> pushed;
  for (int i = 0; i < 400; ++i) {
    Bubble before[BubbleCapacity + 1];
    std::memcpy(before, BubbleTable, sizeof before);
    const int32_t k = PushRandomBubble();
    ASSERT_GE(k, 1);
    ASSERT_LE(k, 4);
    pushed.insert(k);
    for (int j = 1; j <= BubbleCapacity; ++j) {
      const double dx = BubbleTable[j].VX - before[j].VX;
      const double dy = BubbleTable[j].VY - before[j].VY;
      if (j != k) {
        ASSERT_EQ(dx, 0.0) << j;
        ASSERT_EQ(dy, 0.0) << j;
        continue;
      }
      ASSERT_TRUE(dx == -1 || dx == 0 || dx == 1) << dx;
      ASSERT_TRUE(dy == -1 || dy == 0 || dy == 1) << dy;
      seen.insert(dx);
      seen.insert(dy);
    }
  }
  EXPECT_EQ(pushed, (std::set<int>{1, 2, 3, 4}));
  EXPECT_EQ(seen, (std::set<double>{-1.0, 0.0, 1.0}));
}

TEST_F(RandomPush, WithNoBubblesInUseThereIsNothingToPush) {
  BallsCount = 0;
  EXPECT_EQ(PushRandomBubble(), 0);
  BallsCount = -3;
  EXPECT_EQ(PushRandomBubble(), 0);
  EXPECT_EQ(BubbleTable[1].VX, 0.0);
}

TEST(Premultiply, ColoursAreScaledByTheirAlphaWhichIsKept) {
  // B, G, R, A per pixel.
  const std::array<uint8_t, 16> straight{255, 128, 0,  128, 200, 100, 50,  0,
                                         10,  20,  30, 255, 255, 255, 255, 1};
  std::array<uint8_t, 16> out{};
  out.fill(0xAA);
  PremultiplyRows(straight.data(), 16, out.data(), 16, 4, 1);
  EXPECT_EQ(out[0], 128);
  EXPECT_EQ(out[1], 64);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 128);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(out[i], 0) << i;  // alpha 0 is black, invisible
  EXPECT_EQ(out[8], 10);
  EXPECT_EQ(out[10], 30);
  EXPECT_EQ(out[11], 255);
  EXPECT_EQ(out[12], 1);
  EXPECT_EQ(out[15], 1);
}

TEST(Premultiply, HonoursBothStridesAndWritesNoPaddingBytes) {
  // Two rows of one pixel; the source rows are 8 bytes apart, the destination rows 12.
  const std::array<uint8_t, 16> source{100, 100, 100, 255, 9, 9, 9, 9, 200, 0, 0, 51, 9, 9, 9, 9};
  std::vector<uint8_t> dest(24, 0xEE);
  PremultiplyRows(source.data(), 8, dest.data(), 12, 1, 2);
  EXPECT_EQ(dest[0], 100);
  EXPECT_EQ(dest[3], 255);
  for (int i = 4; i < 12; ++i) EXPECT_EQ(dest[i], 0xEE) << i;
  EXPECT_EQ(dest[12], 40);
  EXPECT_EQ(dest[15], 51);
  for (int i = 16; i < 24; ++i) EXPECT_EQ(dest[i], 0xEE) << i;
}
