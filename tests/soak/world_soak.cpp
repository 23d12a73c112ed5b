#include "world_soak.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "world/bubble_table.h"
#include "world/motion.h"
#include "world/wind.h"
#include "world/windbell.h"

namespace {

// A message timer stand-in: due every Interval ms of the soak's clock while enabled.
class ClockTimer final : public WindTimer {
 public:
  void SetEnabled(bool enabled) override {
    if (enabled && !On) Due = Now + Period;
    On = enabled;
  }
  bool Enabled() const override { return On; }
  void SetInterval(uint32_t milliseconds) override {
    Period = milliseconds;
    Due = Now + Period;
  }
  uint32_t Interval() const override { return Period; }
  void SetHandler(std::function<void()> handler) override { Handler = std::move(handler); }
  // Fires at most once per frame, as a message timer that fell behind does.
  void Advance(uint64_t now) {
    Now = now;
    if (On && Handler && now >= Due) {
      Due = now + std::max<uint32_t>(Period, 1);
      Handler();
    }
  }

 private:
  bool On = false;
  uint32_t Period = 0;
  uint64_t Now = 0;
  uint64_t Due = 0;
  std::function<void()> Handler;
};

class SoakWindPlatform final : public WindPlatform {
 public:
  std::unique_ptr<WindTimer> CreateTimer() override {
    auto timer = std::make_unique<ClockTimer>();
    Timers.push_back(timer.get());
    return timer;
  }
  uint32_t TickCount() override { return static_cast<uint32_t>(Now); }
  void Advance(uint64_t milliseconds) {
    Now += milliseconds;
    for (ClockTimer* timer : Timers) timer->Advance(Now);
  }

  uint64_t Now = 0;
  std::vector<ClockTimer*> Timers;
};

// The soak's own generator, apart from the world's Random, so that drawing a world
// does not change what the world draws.
class SoakRandom {
 public:
  explicit SoakRandom(uint32_t seed) : State(seed * 2654435761u + 1) {}
  uint32_t Below(uint32_t n) {
    State = State * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>((State >> 33) % n);
  }

 private:
  uint64_t State;
};

struct WorldShape {
  int32_t Radius, Width, Height, Count;
  double Restitution;
};

WorldShape DrawShape(SoakRandom& random) {
  WorldShape shape{};
  shape.Radius = static_cast<int32_t>(random.Below(301));
  shape.Width = 2 * shape.Radius + static_cast<int32_t>(random.Below(3000));
  shape.Height = 2 * shape.Radius + static_cast<int32_t>(random.Below(2000));
  const int32_t counts[] = {0, 1, 2, 10, 50, 100, -5, 150};
  shape.Count =
      random.Below(4) == 0 ? counts[random.Below(8)] : static_cast<int32_t>(random.Below(101));
  shape.Restitution = random.Below(3) == 0 ? 1.0 : 0.8;
  return shape;
}

std::string Describe(const WorldShape& s, uint64_t step, int k) {
  std::ostringstream text;
  text << "world " << s.Width << " x " << s.Height << ", radius " << s.Radius << ", count "
       << s.Count << ", restitution " << s.Restitution << ", step " << step << ", bubble " << k
       << ": ";
  return text.str();
}

class WorldChecker {
 public:
  WorldChecker(const WorldShape& shape, WorldSoakReport& report) : Shape(shape), Report(report) {}

  // The fastest any bubble may go: collisions between equal masses with restitution at
  // most 1 and the wind's pull towards its vector add no energy beyond what the start
  // speeds and the winds bring; a bubble can gather the share of others, hence the
  // factor. A blow-up passes any such bound within a few steps.
  double SpeedBound() const {
    const double base = std::max(StartSpeed, Report.FastestWind);
    return 4 * std::sqrt(double(BubbleCapacity)) * std::max(base, 1.0);
  }

  void NoteStart() {
    for (int k = 1; k <= BubblesInUse(); ++k) {
      StartSpeed = std::max(StartSpeed, std::hypot(BubbleTable[k].VX, BubbleTable[k].VY));
    }
  }

  // Empty when every bubble is sound after a step.
  std::string Check(uint64_t step) {
    const double reflection = Restitution > 0 ? std::min(1.0, Restitution) : 1.0;
    const double low = BubbleRadius;
    const double right = double(WorldRect.Width) - BubbleRadius;
    const double bottom = double(WorldRect.Height) - BubbleRadius;
    for (int k = 1; k <= BubblesInUse(); ++k) {
      const Bubble& b = BubbleTable[k];
      auto fail = [&](const std::string& why) { return Describe(Shape, step, k) + why; };
      if (!std::isfinite(b.X) || !std::isfinite(b.Y) || !std::isfinite(b.VX) ||
          !std::isfinite(b.VY)) {
        return fail("not finite");
      }
      // The velocity it moved with is at most the present one over the restitution
      // (a bounce scales it by the restitution), so the centre is that far at most from
      // the limits a wall stops it at.
      const double travelX = std::abs(b.VX) / reflection + 1e-6;
      const double travelY = std::abs(b.VY) / reflection + 1e-6;
      if (b.X < low - travelX || b.X > right + travelX) return fail("x outside the world");
      if (b.Y < low - travelY || b.Y > bottom + travelY) return fail("y outside the world");
      const double speed = std::hypot(b.VX, b.VY);
      Report.FastestSpeed = std::max(Report.FastestSpeed, speed);
      if (speed > SpeedBound()) return fail("speed " + std::to_string(speed) + " unbounded");
      for (int32_t channel : {b.Red, b.Green, b.Blue}) {
        if (channel < 0 || channel > 255) return fail("tint outside 0..255");
      }
      if (b.Index != k) return fail("index changed");
    }
    return {};
  }

 private:
  const WorldShape& Shape;
  WorldSoakReport& Report;
  double StartSpeed = 0;
};

// One world from its shape to the end of its steps; false after the first failure.
bool SoakOneWorld(const WorldShape& shape, uint32_t seed, uint64_t steps, WorldSoakReport& report) {
  std::memset(static_cast<void*>(BubbleTable), 0, sizeof BubbleTable);
  WorldRect = {0, 0, shape.Width, shape.Height};
  BubbleRadius = shape.Radius;
  Restitution = shape.Restitution;
  SoundOpen = false;
  WindBell = nullptr;
  BallsCount = shape.Count;
  InitBubblesWithSeed(shape.Count, seed);

  SoakWindPlatform platform;
  TWind wind(platform);
  WorldChecker checker(shape, report);
  checker.NoteStart();
  uint32_t lastStart = wind.StartTick;
  bool lastLive = false;
  for (uint64_t step = 1; step <= steps; ++step) {
    platform.Advance(40);
    if (wind.RegionLive && (!lastLive || wind.StartTick != lastStart)) {
      ++report.Gusts;
      report.FastestWind = std::max(report.FastestWind, std::hypot(wind.WindX, wind.WindY));
    }
    lastLive = wind.RegionLive;
    lastStart = wind.StartTick;
    MotionStep();
    ++report.Steps;
    std::string failure = checker.Check(step);
    if (!failure.empty()) {
      report.Failure = failure;
      return false;
    }
  }
  wind.Stop();
  return true;
}

}  // namespace

WorldSoakReport RunWorldSoak(const WorldSoakOptions& options) {
  WorldSoakReport report;
  SoakRandom random(options.Seed);
  while (report.Steps < options.Steps) {
    const WorldShape shape = DrawShape(random);
    const uint64_t steps = std::min<uint64_t>(options.StepsPerWorld, options.Steps - report.Steps);
    ++report.Worlds;
    if (!SoakOneWorld(shape, random.Below(0xFFFFFFFFu), steps, report)) break;
  }
  return report;
}
