#include <limits>

#include "world_fixture.h"

using Layout = WorldTest;

static void ExpectAt(int k, double x, double y) {
  EXPECT_EQ(BubbleTable[k].X, x) << "bubble " << k;
  EXPECT_EQ(BubbleTable[k].Y, y) << "bubble " << k;
}

TEST_F(Layout, FullScreenWorldHoldsTwelveBubblesInTheFirstRowAndThirteenInLaterOnes) {
  InitBubblesWithSeed(40, 7);  // 1024 wide, radius 78
  ExpectAt(1, 86, 90);
  ExpectAt(12, 944, 90);
  ExpectAt(13, 8, 246);
  ExpectAt(25, 944, 246);
  ExpectAt(26, 8, 402);
}

TEST_F(Layout, NarrowWorldsOpenARowPerBubbleUnlessExactlyOneDiameterWide) {
  WorldRect.Width = 155;
  InitBubblesWithSeed(3, 7);
  for (int k = 1; k <= 3; ++k) ExpectAt(k, 8, 90 + 156 * k);
  WorldRect.Width = 156;
  InitBubblesWithSeed(2, 7);
  ExpectAt(1, 86, 90);
  ExpectAt(2, 8, 246);
  BubbleRadius = WorldRect.Width = std::numeric_limits<int32_t>::max();
  InitBubblesWithSeed(2, 7);
  ExpectAt(2, 8, 4.0 * BubbleRadius + 90);
}

TEST_F(Layout, BubblesStartInactiveWithDrawsTakenInTheStatedOrder) {
  InitBubblesWithSeed(3, 4242);
  SeedRandom(4242);
  for (const Bubble& b : {BubbleTable[1], BubbleTable[2], BubbleTable[3]}) {
    EXPECT_FALSE(b.Active);
    EXPECT_EQ(b.VX, Random(15) + 1);
    EXPECT_EQ(b.VY, Random(14) + 1);
    for (int32_t value : {b.Red, b.Green, b.Blue}) EXPECT_EQ(value, Random(255));
    for (int32_t value : {b.RedStep, b.GreenStep, b.BlueStep}) EXPECT_EQ(value, Random(17));
  }
  EXPECT_EQ(BubbleTable[3].Index, 3);
}

TEST_F(Layout, LaysOutOnlyTheRecordsAskedForAndNeverBeyondTheTable) {
  InitBubblesWithSeed(10, 1);
  const Bubble eighth = BubbleTable[8];
  InitBubblesWithSeed(5, 2);
  const Bubble first = BubbleTable[1];
  InitBubblesWithSeed(-3, 3);
  EXPECT_EQ(std::memcmp(&eighth, &BubbleTable[8], sizeof eighth), 0);
  EXPECT_EQ(std::memcmp(&first, &BubbleTable[1], sizeof first), 0);
  InitBubbles(150);  // seeded from the clock
  EXPECT_EQ(BubbleTable[100].Index, 100);
  EXPECT_EQ(BubbleTable[0].Index, 0);
  for (auto [count, inUse] : {std::pair{42, 42}, {150, 100}, {-4, 0}}) {
    BallsCount = count;
    EXPECT_EQ(BubblesInUse(), inUse);
  }
}

TEST_F(Layout, RandomRepeatsPerSeedSpreadsEvenlyBelowItsBoundAndIsZeroForEmptyRanges) {
  EXPECT_EQ(Random(0) + Random(-7), 0);
  SeedRandom(12345);
  const int32_t first = Random(std::numeric_limits<int32_t>::max());
  SeedRandom(12345);
  EXPECT_EQ(Random(std::numeric_limits<int32_t>::max()), first);
  int buckets[10] = {};
  for (int k = 0; k < 20000; ++k) {
    const int32_t v = Random(10);
    ASSERT_TRUE(v >= 0 && v < 10) << v;
    ++buckets[v];
  }
  for (int count : buckets) EXPECT_TRUE(count > 1800 && count < 2200) << count;
}
