// The motion step in a busy world: a full-screen world with many bubbles that keep
// colliding, the chime on over a silent port. Restitution 1 keeps the world from coming
// to rest while the benchmark runs.
#include <benchmark/benchmark.h>

#include <memory>

#include "world/bubble_table.h"
#include "world/motion.h"
#include "world/windbell.h"

namespace {

constexpr int WarmUpSteps = 500;  // every bubble active, the rows broken up

void MotionStepInBusyWorld(benchmark::State& state) {
  const auto count = static_cast<int32_t>(state.range(0));
  WorldRect = {0, 0, 1024, 768};
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

}  // namespace

BENCHMARK(MotionStepInBusyWorld)->Arg(100)->Arg(10)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
