#include <cmath>
#include <limits>

#include "world/motion.h"
#include "world_fixture.h"

class Collision : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    BubbleRadius = 10;
    Bell.OnRing = [this](int32_t a, int32_t b) { Rings.push_back({a, b}); };
  }
  // Two resting, not yet active bubbles stay inactive exactly when they touch.
  static bool RestingPairTouches(double dx, double dy = 0) {
    Place(1, 0, 0, 0, 0, false);
    Place(2, dx, dy, 0, 0, false);
    MotionStep();
    return !BubbleTable[1].Active && !BubbleTable[2].Active;
  }
  // Bubble 2 hits bubble 1 at rest from the right; radius 15 keeps them in contact.
  static void Impact(double distance) {
    BubbleRadius = 15;
    Place(1, 400, 300, 0, 0);
    Place(2, 400 + distance, 300, -10, 0);
    MotionStep();
  }

  MidiLog Log;
  TWindBell Bell{std::make_unique<RecordingMidiPort>(Log), 0};
  std::vector<std::pair<int32_t, int32_t>> Rings;
};

TEST_F(Collision, PairExactlyOneDiameterApartDoesNotTouchButOneSquaredPixelCloserDoes) {
  EXPECT_FALSE(RestingPairTouches(20));
  double dx = std::sqrt(398.0);  // with dy = 1, a squared distance of exactly 399
  while (dx * dx + 1 < 399) dx = std::nextafter(dx, 399.0);
  ASSERT_EQ(dx * dx + 1, 399);
  EXPECT_TRUE(RestingPairTouches(dx, 1));
  for (int32_t radius :
       {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
    BubbleRadius = radius;
    EXPECT_TRUE(RestingPairTouches(1e9)) << radius;
  }
}

TEST_F(Collision, HeadOnImpactSendsBothBackAtFourFifthsAndIsNotRepeatedInThePass) {
  BubbleRadius = 20;  // still in contact after the impact, so a repeat would show
  Place(1, 400, 300, 5, 0);
  Place(2, 418, 300, -5, 0);
  MotionStep();
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, -4);
  EXPECT_DOUBLE_EQ(BubbleTable[2].VX, 4);
}

TEST_F(Collision, MoverHittingARestingBubbleKeepsATenthAtPointEightAndStopsAtOne) {
  for (auto [e, mover, other] : {std::tuple{0.8, 1.0, 9.0}, {1.0, 0.0, 10.0}}) {
    Restitution = e;
    Bubble a = Place(1, 0, 0, 10, 0), b = Place(2, 20, 0, 0, 0);
    CollideBubbles(a, b);
    EXPECT_DOUBLE_EQ(a.VX, mover);
    EXPECT_DOUBLE_EQ(b.VX, other);
    EXPECT_EQ(a.VY + b.VY, 0);
  }
}

TEST_F(Collision, ObliqueImpactKeepsTangentialMotionAndMomentum) {
  for (double e : {0.0, 0.8, 1.0}) {
    Restitution = e;
    Bubble a = Place(1, 0, 0, 3, 7), b = Place(2, 12, 16, -2, 1);
    CollideBubbles(a, b);
    const double c = -0.6, s = -0.8;  // unit vector from b to a
    EXPECT_NEAR(a.VX + b.VX, 1, 1e-12);
    EXPECT_NEAR(a.VY + b.VY, 8, 1e-12);
    EXPECT_NEAR(s * a.VX - c * a.VY, s * 3 - c * 7, 1e-12);
    EXPECT_NEAR(s * b.VX - c * b.VY, s * -2 - c * 1, 1e-12);
    const double approach = (c * 3 + s * 7) - (c * -2 + s * 1);
    EXPECT_NEAR((c * b.VX + s * b.VY) - (c * a.VX + s * a.VY), e * approach, 1e-12);
  }
}

TEST_F(Collision, CoincidentOrAlikeMovingBubblesKeepTheirVelocitiesSilently) {
  Bubble a = Place(1, 50, 50, 3, -2), b = Place(2, 50, 50, 3, -2);
  CollideBubbles(a, b);
  EXPECT_TRUE(a.VX == 3 && a.VY == -2 && b.VX == 3 && b.VY == -2);
  SoundOpen = true;
  WindBell = &Bell;
  Place(1, 400, 300, 2, 1);
  Place(2, 410, 300, 2, 1);
  MotionStep();
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, 2);
  EXPECT_DOUBLE_EQ(BubbleTable[2].VY, 1);
  EXPECT_TRUE(Rings.empty());
}

TEST_F(Collision, InactiveBubblesPassThroughWhileTouchingAndActivateOnceMovingApart) {
  Place(1, 400, 300, 5, 0, false);
  Place(2, 412, 300, -5, 0, true);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].VX, 5);
  EXPECT_EQ(BubbleTable[2].VX, -5);
  EXPECT_FALSE(BubbleTable[1].Active);
  EXPECT_TRUE(BubbleTable[2].Active) << "an active bubble never goes back";
  Place(2, 405, 300, 3, 0, false);
  Place(1, 400, 300, -3, 0, false);
  MotionStep();
  EXPECT_TRUE(BubbleTable[1].Active && BubbleTable[2].Active);
}

TEST_F(Collision, ChimeRingsOnceOuterBubbleFirstWhenTheSquaredDistanceShrinksByMoreThan500) {
  Impact(30.5);  // sound off
  EXPECT_TRUE(Rings.empty());
  SoundOpen = true;
  Impact(30.5);  // no bell
  WindBell = &Bell;
  Impact(30.5);  // 930.25 -> 420.25
  ASSERT_EQ(Rings, (std::vector<std::pair<int32_t, int32_t>>{{1, 2}}));
  EXPECT_TRUE(Log.Messages.back() == NoteOn(60) || Log.Messages.back() == NoteOn(62));
  Impact(30);  // 900 -> 400: exactly 500
  EXPECT_EQ(Rings.size(), 1u);
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, -9) << "the pair still collides";
}
