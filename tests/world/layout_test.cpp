#include <limits>

#include "world_fixture.h"

using Layout = WorldTest;

namespace {

void ExpectAt(int k, double x, double y) {
  EXPECT_EQ(BubbleTable[k].X, x) << "bubble " << k;
  EXPECT_EQ(BubbleTable[k].Y, y) << "bubble " << k;
}

}  // namespace

TEST_F(Layout, FullScreenWorldHoldsTwelveBubblesInTheFirstRowAndThirteenInEveryLaterOne) {
  WorldRect.Width = 1024;
  BubbleRadius = 78;
  InitBubblesWithSeed(40, 7);
  for (int k = 1; k <= 12; ++k) ExpectAt(k, 8 + 78.0 * k, 90);
  for (int k = 13; k <= 25; ++k) ExpectAt(k, 8 + 78.0 * (k - 13), 246);
  for (int k = 26; k <= 38; ++k) ExpectAt(k, 8 + 78.0 * (k - 26), 402);
  ExpectAt(39, 8, 558);
}

TEST_F(Layout, WorldNarrowerThanADiameterPutsEveryBubbleOnARowOfItsOwn) {
  WorldRect.Width = 100;
  BubbleRadius = 60;
  InitBubblesWithSeed(5, 7);
  for (int k = 1; k <= 5; ++k) ExpectAt(k, 8, 90 + 2 * 60.0 * k);
}

TEST_F(Layout, WorldExactlyOneDiameterWideKeepsTheFirstBubbleOnTheFirstRow) {
  WorldRect.Width = 156;
  BubbleRadius = 78;
  InitBubblesWithSeed(2, 7);
  ExpectAt(1, 86, 90);
  ExpectAt(2, 8, 246);
}

TEST_F(Layout, SingleBubbleSitsOneRadiusAndEightPixelsFromTheLeftOnTheFirstRow) {
  InitBubblesWithSeed(1, 99);
  ExpectAt(1, 86, 90);
}

TEST_F(Layout, EveryBubbleStartsInactiveMovingRightAndDownWithDrawsInTheirRanges) {
  for (uint32_t seed = 0; seed < 200; ++seed) {
    InitBubblesWithSeed(100, seed * 7919u);
    for (int k = 1; k <= 100; ++k) {
      const Bubble& b = BubbleTable[k];
      ASSERT_EQ(b.Index, k);
      ASSERT_FALSE(b.Active);
      ASSERT_TRUE(b.VX >= 1 && b.VX <= 15 && b.VX == static_cast<int>(b.VX)) << b.VX;
      ASSERT_TRUE(b.VY >= 1 && b.VY <= 14 && b.VY == static_cast<int>(b.VY)) << b.VY;
      for (int32_t channel : {b.Red, b.Green, b.Blue}) ASSERT_TRUE(channel >= 0 && channel <= 254);
      for (int32_t step : {b.RedStep, b.GreenStep, b.BlueStep})
        ASSERT_TRUE(step >= 0 && step <= 16);
    }
  }
}

TEST_F(Layout, DrawsVelocitiesThenColoursThenStepsFromTheSharedGenerator) {
  InitBubblesWithSeed(2, 4242);
  SeedRandom(4242);
  for (int k = 1; k <= 2; ++k) {
    const Bubble& b = BubbleTable[k];
    EXPECT_EQ(b.VX, Random(15) + 1);
    EXPECT_EQ(b.VY, Random(14) + 1);
    EXPECT_EQ(b.Red, Random(255));
    EXPECT_EQ(b.Green, Random(255));
    EXPECT_EQ(b.Blue, Random(255));
    EXPECT_EQ(b.RedStep, Random(17));
    EXPECT_EQ(b.GreenStep, Random(17));
    EXPECT_EQ(b.BlueStep, Random(17));
  }
}

TEST_F(Layout, LayoutOverwritesEveryFieldOfTheRecordsItLaysOut) {
  Place(1, -5, -5, -5, -5, true);
  BubbleTable[1].Index = 77;
  BubbleTable[1].Red = 999;
  InitBubblesWithSeed(1, 3);
  EXPECT_EQ(BubbleTable[1].Index, 1);
  EXPECT_FALSE(BubbleTable[1].Active);
  EXPECT_LE(BubbleTable[1].Red, 254);
  ExpectAt(1, 86, 90);
}

TEST_F(Layout, SecondLayoutWithFewerBubblesLeavesTheHigherRecordsAsTheyWere) {
  InitBubblesWithSeed(10, 1);
  const Bubble before = BubbleTable[8];
  InitBubblesWithSeed(5, 2);
  EXPECT_EQ(std::memcmp(&before, &BubbleTable[8], sizeof before), 0);
}

TEST_F(Layout, SameSeedGivesTheSameLayoutAndTheClockSeedStillGivesAValidOne) {
  InitBubblesWithSeed(30, 555);
  Bubble first[31];
  std::memcpy(static_cast<void*>(first), BubbleTable, sizeof first);
  InitBubblesWithSeed(30, 555);
  EXPECT_EQ(std::memcmp(first, BubbleTable, sizeof first), 0);

  InitBubbles(30);
  ExpectAt(1, 86, 90);
  EXPECT_TRUE(BubbleTable[30].VX >= 1 && BubbleTable[30].VX <= 15);
}

TEST_F(Layout, CountAboveTheTableFillsAllHundredRecordsAndNoMore) {
  InitBubblesWithSeed(150, 5);
  EXPECT_EQ(BubbleTable[100].Index, 100);
  EXPECT_EQ(BubbleTable[0].Index, 0);  // the unused entry stays untouched
}

TEST_F(Layout, ZeroOrNegativeCountLaysOutNothing) {
  InitBubblesWithSeed(0, 5);
  InitBubblesWithSeed(-3, 5);
  EXPECT_EQ(BubbleTable[1].Index, 0);
  EXPECT_EQ(BubbleTable[1].X, 0);
}

TEST_F(Layout, HugeRadiusAndWidthStillGiveExactRowOffsets) {
  const int32_t big = std::numeric_limits<int32_t>::max();
  BubbleRadius = big;
  WorldRect.Width = big;
  InitBubblesWithSeed(3, 5);
  for (int k = 1; k <= 3; ++k) ExpectAt(k, 8, 2.0 * big * k + 90);
}

TEST_F(Layout, LoopsUseTheBubbleCountLimitedToTheTable) {
  BallsCount = 42;
  EXPECT_EQ(BubblesInUse(), 42);
  BallsCount = 150;
  EXPECT_EQ(BubblesInUse(), 100);
  BallsCount = -4;
  EXPECT_EQ(BubblesInUse(), 0);
}

TEST_F(Layout, RandomIsZeroForEmptyRangesAndStaysBelowItsBound) {
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-7), 0);
  const int32_t big = std::numeric_limits<int32_t>::max();
  for (int k = 0; k < 10000; ++k) {
    ASSERT_EQ(Random(1), 0);
    const int32_t v = Random(big);
    ASSERT_TRUE(v >= 0 && v < big);
  }
}

TEST_F(Layout, RandomRepeatsItsSequenceForASeedAndSpreadsEvenly) {
  SeedRandom(12345);
  std::vector<int32_t> first;
  for (int k = 0; k < 50; ++k) first.push_back(Random(1000));
  SeedRandom(12345);
  for (int k = 0; k < 50; ++k) ASSERT_EQ(Random(1000), first[k]);

  int buckets[10] = {};
  for (int k = 0; k < 20000; ++k) ++buckets[Random(10)];
  for (int count : buckets) EXPECT_TRUE(count > 1800 && count < 2200) << count;
}
