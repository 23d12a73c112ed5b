#include <cmath>
#include <limits>

#include "world/motion.h"
#include "world_fixture.h"

namespace {

// A distance whose square, as the contact test computes it, is exactly the target.
double DistanceSquaringTo(double target) {
  double d = std::sqrt(target);
  for (int k = 0; k < 8 && d * d != target; ++k)
    d = std::nextafter(d, d * d < target ? target : 0.0);
  return d;
}

}  // namespace

class Collision : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    BubbleRadius = 10;
  }

  // Two resting, not yet active bubbles d apart: they stay inactive exactly when the
  // contact test finds them touching.
  static bool RestingPairTouches(double d) {
    Place(1, 400, 300, 0, 0, false);
    Place(2, 400 + d, 300, 0, 0, false);
    MotionStep();
    EXPECT_EQ(BubbleTable[1].Active, BubbleTable[2].Active);
    return !BubbleTable[1].Active;
  }

  void StrikeRecorded() {
    WindBell = &Bell;
    Bell.OnRing = [this](int32_t a, int32_t b) { Rings.push_back({a, b}); };
  }

  MidiLog Log;
  TWindBell Bell{std::make_unique<RecordingMidiPort>(Log), 0};
  std::vector<std::pair<int32_t, int32_t>> Rings;
};

TEST_F(Collision, BubblesExactlyOneDiameterApartDoNotTouchButSlightlyCloserOnesDo) {
  const double threshold = 4.0 * BubbleRadius * BubbleRadius;
  EXPECT_FALSE(RestingPairTouches(DistanceSquaringTo(threshold)));
  EXPECT_TRUE(RestingPairTouches(DistanceSquaringTo(threshold - 1)));
}

TEST_F(Collision, HugeRadiiKeepTheContactThresholdDefined) {
  BubbleRadius = std::numeric_limits<int32_t>::max();
  EXPECT_TRUE(RestingPairTouches(1e9));
  BubbleRadius = std::numeric_limits<int32_t>::min();
  EXPECT_TRUE(RestingPairTouches(1e9));
  BubbleRadius = 0;
  EXPECT_FALSE(RestingPairTouches(0.5));
}

TEST_F(Collision, HeadOnImpactAtEqualSpeedsSendsBothBackAtFourFifths) {
  Place(1, 400, 300, 5, 0);
  Place(2, 418, 300, -5, 0);
  MotionStep();
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, -4);
  EXPECT_DOUBLE_EQ(BubbleTable[2].VX, 4);
  EXPECT_EQ(BubbleTable[1].VY, 0);
  EXPECT_EQ(BubbleTable[2].VY, 0);
}

TEST_F(Collision, MoverHittingARestingBubbleKeepsATenthAtPointEightAndStopsAtOne) {
  Bubble a = Place(1, 0, 0, 10, 0);
  Bubble b = Place(2, 20, 0, 0, 0);
  CollideBubbles(a, b);
  EXPECT_DOUBLE_EQ(a.VX, 1);
  EXPECT_DOUBLE_EQ(b.VX, 9);
  EXPECT_EQ(a.VY, 0);
  EXPECT_EQ(b.VY, 0);

  Restitution = 1.0;
  a = Place(1, 0, 0, 10, 0);
  b = Place(2, 20, 0, 0, 0);
  CollideBubbles(a, b);
  EXPECT_DOUBLE_EQ(a.VX, 0);
  EXPECT_DOUBLE_EQ(b.VX, 10);
}

TEST_F(Collision, ObliqueImpactKeepsTangentialMotionAndTheSumOfVelocities) {
  for (double e : {0.0, 0.8, 1.0}) {
    Restitution = e;
    Bubble a = Place(1, 0, 0, 3, 7);
    Bubble b = Place(2, 12, 16, -2, 1);
    const double c = -0.6, s = -0.8;  // unit vector from b to a
    CollideBubbles(a, b);
    EXPECT_NEAR(a.VX + b.VX, 1, 1e-12);
    EXPECT_NEAR(a.VY + b.VY, 8, 1e-12);
    EXPECT_NEAR(s * a.VX - c * a.VY, s * 3 - c * 7, 1e-12);
    EXPECT_NEAR(s * b.VX - c * b.VY, s * -2 - c * 1, 1e-12);
    const double normalA = c * 3 + s * 7, normalB = c * -2 + s * 1;
    EXPECT_NEAR(c * b.VX + s * b.VY - (c * a.VX + s * a.VY), e * (normalA - normalB), 1e-12);
  }
}

TEST_F(Collision, CoincidentCentresLeaveTheVelocitiesAsTheyAre) {
  Bubble a = Place(1, 50, 50, 3, -2);
  Bubble b = Place(2, 50, 50, 3, -2);
  CollideBubbles(a, b);
  EXPECT_EQ(a.VX, 3);
  EXPECT_EQ(a.VY, -2);
  EXPECT_EQ(b.VX, 3);
  EXPECT_EQ(b.VY, -2);
}

TEST_F(Collision, TouchingBubblesMovingAlikeKeepTheirVelocitiesAndStaySilent) {
  SoundOpen = true;
  StrikeRecorded();
  Place(1, 400, 300, 2, 1);
  Place(2, 410, 300, 2, 1);
  MotionStep();
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, 2);
  EXPECT_DOUBLE_EQ(BubbleTable[2].VY, 1);
  EXPECT_TRUE(Rings.empty());
}

TEST_F(Collision, InactiveBubblesPassThroughEachOtherAndStayInactiveWhileTouching) {
  Place(1, 400, 300, 5, 0, false);
  Place(2, 412, 300, -5, 0, true);
  MotionStep();
  EXPECT_EQ(BubbleTable[1].VX, 5);
  EXPECT_EQ(BubbleTable[2].VX, -5);
  EXPECT_FALSE(BubbleTable[1].Active);
  EXPECT_TRUE(BubbleTable[2].Active) << "an active bubble never goes back";
}

TEST_F(Collision, OverlappingBubblesMovingApartDoNotBlockEachOther) {
  Place(1, 400, 300, -3, 0, false);
  Place(2, 405, 300, 3, 0, false);
  Place(3, 700, 300, 0, 0, false);
  MotionStep();
  EXPECT_TRUE(BubbleTable[1].Active);
  EXPECT_TRUE(BubbleTable[2].Active);
  EXPECT_TRUE(BubbleTable[3].Active);
}

TEST_F(Collision, SecondExaminationOfACollidedPairSeesItSeparating) {
  BubbleRadius = 20;  // still in contact one step after the impact
  Place(1, 400, 300, 5, 0);
  Place(2, 418, 300, -5, 0);
  MotionStep();
  // Colliding twice in one pass would have restored the approach.
  EXPECT_LT(BubbleTable[1].VX, 0);
  EXPECT_GT(BubbleTable[2].VX, 0);
}

TEST_F(Collision, HardCollisionRingsOnceWithTheOuterBubbleFirst) {
  SoundOpen = true;
  StrikeRecorded();
  BubbleRadius = 15;
  Place(1, 400, 300, 0, 0);
  Place(2, 430.5, 300, -10, 0);  // squared distance 930.25 -> 420.25
  MotionStep();
  ASSERT_EQ(Rings.size(), 1u);
  EXPECT_EQ(Rings[0], std::make_pair(1, 2));
  ASSERT_EQ(Log.Messages.size(), 3u);
  const uint32_t note = (Log.Messages[2] >> 8) & 0xFF;
  EXPECT_TRUE(note == 60 || note == 62) << note;
}

TEST_F(Collision, CollisionThatShrinksTheSquaredDistanceByNoMoreThanFiveHundredIsSilent) {
  SoundOpen = true;
  StrikeRecorded();
  BubbleRadius = 15;
  Place(1, 400, 300, 0, 0);
  Place(2, 430, 300, -10, 0);  // squared distance 900 -> 400: exactly 500
  MotionStep();
  EXPECT_TRUE(Rings.empty());
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, -9) << "the pair still collides";
}

TEST_F(Collision, ChimeStaysQuietWithSoundOffAndCopesWithAMissingBell) {
  StrikeRecorded();
  BubbleRadius = 15;
  Place(1, 400, 300, 0, 0);
  Place(2, 430.5, 300, -10, 0);
  MotionStep();
  EXPECT_TRUE(Rings.empty());
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, -9);

  SoundOpen = true;
  WindBell = nullptr;
  Place(1, 400, 300, 0, 0);
  Place(2, 430.5, 300, -10, 0);
  MotionStep();
  EXPECT_DOUBLE_EQ(BubbleTable[1].VX, -9);
}
