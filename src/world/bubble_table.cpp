#include "world/bubble_table.h"

#include <algorithm>
#include <chrono>

#include "settings/setting_table.h"
#include "world/monitor_walls.h"

Bubble BubbleTable[BubbleCapacity + 1];

WorldRectangle WorldRect{};
int32_t BubbleRadius = 0;
double Restitution = 0.8;

int32_t BallsCount = InitialInteger(RowBallsCount);
float SizeScale = SizeScaleFromBallSize(InitialInteger(RowBallSize));
bool SoundOpen = InitialBool(RowSoundOpen);

namespace {

// A 32-bit linear congruential generator computed in unsigned integers only, so the
// native and the Windows builds draw identical sequences from one seed.
uint32_t GeneratorState = 0;

int32_t LimitToTable(int32_t count) {
  return std::clamp<int32_t>(count, 0, BubbleCapacity);
}

void LayOutBubble(Bubble& bubble, int32_t index, int64_t column, int64_t row) {
  bubble.Index = index;
  bubble.X = static_cast<double>(column + 8);
  bubble.Y = static_cast<double>(2 * static_cast<int64_t>(BubbleRadius) * row + 90);
  // The draws happen in exactly this order; reordering them changes every layout.
  bubble.VX = Random(15) + 1;
  bubble.VY = Random(14) + 1;
  bubble.Active = false;
  bubble.Red = Random(255);
  bubble.Green = Random(255);
  bubble.Blue = Random(255);
  bubble.RedStep = Random(17);
  bubble.GreenStep = Random(17);
  bubble.BlueStep = Random(17);
}

struct RowPlace {
  int64_t Column = 0;
  int64_t Row = 0;
};

// The next place of the rows: one radius on, or the start of the next row.
void Advance(RowPlace& place, int64_t radius) {
  place.Column += radius;
  if (place.Column + radius > WorldRect.Width) {
    ++place.Row;
    place.Column = 0;
  }
}

bool BehindAWall(const RowPlace& place, int64_t radius) {
  return PlaceBehindAWall(static_cast<double>(place.Column + 8),
                          static_cast<double>(2 * radius * place.Row + 90), BubbleRadius);
}

// Rows of bubbles one radius apart. The offsets are 64-bit so that no radius or width
// can overflow them. A place that no monitor would show whole is passed over for the next;
// the walls lie inside the world, so the rows always reach places below them, and a count
// that does not fit on the monitors goes on in rows below the world, as on one monitor,
// for the first step to pull in.
void LayOutBubbles(int32_t count) {
  const int64_t radius = BubbleRadius;
  RowPlace place;
  for (int32_t k = 1; k <= LimitToTable(count); ++k) {
    do {
      Advance(place, radius);
    } while (BehindAWall(place, radius));
    LayOutBubble(BubbleTable[k], k, place.Column, place.Row);
  }
}

}  // namespace

int BubblesInUse() {
  return LimitToTable(BallsCount);
}

int32_t Random(int32_t n) {
  GeneratorState = GeneratorState * 134775813u + 1u;
  if (n <= 0) return 0;
  return static_cast<int32_t>((static_cast<uint64_t>(GeneratorState) * static_cast<uint32_t>(n)) >>
                              32);
}

void SeedRandom(uint32_t seed) {
  GeneratorState = seed;
}

void SeedRandomFromClock() {
  const auto ticks =
      static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  SeedRandom(static_cast<uint32_t>(ticks ^ (ticks >> 32)));
}

void InitBubbles(int32_t Count) {
  SeedRandomFromClock();
  LayOutBubbles(Count);
}

void InitBubblesWithSeed(int32_t Count, uint32_t seed) {
  SeedRandom(seed);
  LayOutBubbles(Count);
}
