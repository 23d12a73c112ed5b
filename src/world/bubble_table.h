// The bubble world: the table every renderer draws and the globals that bound it.
// Process-wide state, touched only on the main thread; no locking anywhere.
#pragma once

#include <cstdint>

struct Bubble {
  double X;   // centre, world pixels
  double Y;   // centre, grows downwards
  double VX;  // pixels per motion step
  double VY;
  int32_t Red;
  int32_t Green;
  int32_t Blue;
  int32_t RedStep;
  int32_t GreenStep;
  int32_t BlueStep;
  bool Active;    // false until it has once been clear of every other bubble
  int32_t Index;  // 1-based position in BubbleTable; picks the chime note
};

struct WorldRectangle {
  int32_t X;
  int32_t Y;
  int32_t Width;   // right edge for the motion
  int32_t Height;  // bottom edge for the motion
};

inline constexpr int BubbleCapacity = 100;

// 1-based table: BubbleTable[1] .. BubbleTable[BubbleCapacity]; entry 0 is unused.
extern Bubble BubbleTable[BubbleCapacity + 1];

extern WorldRectangle WorldRect;
extern int32_t BubbleRadius;
extern double Restitution;  // 0.8; the preview sets 1.0

// Settings globals the world reads. They are defined here, once, with the initial
// values of the settings table; the settings load writes them.
extern int32_t BallsCount;
extern float SizeScale;
extern bool SoundOpen;

// BallsCount limited to the table, for every loop that walks it.
int BubblesInUse();

// The one process-wide generator shared by layout, wind, chime and scenes.
// Random(n) is uniform in 0..n-1; 0 for n <= 0.
int32_t Random(int32_t n);
void SeedRandom(uint32_t seed);
void SeedRandomFromClock();

// Seeds from the clock and lays out records 1..Count in rows.
void InitBubbles(int32_t Count);
// The same layout from a given seed, so tests and tools can reproduce it.
void InitBubblesWithSeed(int32_t Count, uint32_t seed);
