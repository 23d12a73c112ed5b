// The motion step in a busy world: a full-screen world with many bubbles that keep
// colliding, the chime on over a silent port. Restitution 1 keeps the world from coming
// to rest while the benchmark runs.
#include <benchmark/benchmark.h>

#include <memory>

#include "world/bubble_table.h"
#include "world/monitor_walls.h"
#include "world/motion.h"
#include "world/windbell.h"

namespace {

constexpr int WarmUpSteps = 500;  // every bubble active, the rows broken up

void RunBusyWorld(benchmark::State& state) {
  const auto count = static_cast<int32_t>(state.range(0));
  BubbleRadius = count > 50 ? 30 : 78;
  Restitution = 1.0;
  SoundOpen = true;
  BallsCount = count;
  auto bell = std::make_unique<TWindBell>(CreateSystemMidiPort(), 0);
  int64_t rings = 0;
  bell->OnRing = [&rings](int32_t, int32_t) { ++rings; };
  WindBell = bell.get();
  InitBubblesWithSeed(count, 20240611);
  for (int k = 0; k < WarmUpSteps; ++k) MotionStep();

  rings = 0;
  for (auto _ : state) {
    MotionStep();
    benchmark::ClobberMemory();
  }
  state.counters["rings_per_step"] =
      benchmark::Counter(static_cast<double>(rings), benchmark::Counter::kAvgIterations);
  WindBell = nullptr;
}

void MotionStepInBusyWorld(benchmark::State& state) {
  WorldRect = {0, 0, 1024, 768};
  ClearWorldMonitors();
  RunBusyWorld(state);
}

// The same on an L of three monitors (1280 x 800, 1024 x 768 to its right, 1024 x 768 above
// it), whose unshown parts make two walls inside the world.
void MotionStepInBusyWorldOfThreeMonitors(benchmark::State& state) {
  WorldRect = {0, 0, 2304, 1568};
  SetWorldMonitors({0, 0, 2304, 1568},
                   {{0, 768, 1280, 1568}, {1280, 768, 2304, 1536}, {0, 0, 1024, 768}});
  RunBusyWorld(state);
  ClearWorldMonitors();
}

}  // namespace

BENCHMARK(MotionStepInBusyWorld)->Arg(100)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(MotionStepInBusyWorldOfThreeMonitors)->Arg(100)->Arg(10)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
