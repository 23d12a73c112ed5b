// vesperine-world: runs the bubble world on JSON from stdin and prints the result on
// stdout, for checking the world from outside the screen saver.
//
//   vesperine-world step    {"width","height","radius","restitution","sound","steps","bubbles"}
//                           -> {"bubbles":[...],"rings":[[step,a,b],...]}  (steps count from 1)
//   vesperine-world layout  {"width","radius","count"[,"seed"]} -> {"bubbles":[...]}
//   vesperine-world blow    {"corners":[[x,y]x4],"wind":[wx,wy],"bubbles":[...]}
//                           -> {"bubbles":[...]}
//
// A bubble is {"x","y","vx","vy","red","green","blue","red_step","green_step","blue_step",
// "active"}; bubble k of an array is record k. At most 100 bubbles and 1000000 steps.
// Bad input prints one line on stderr and exits with 2.
#include <cstdio>
#include <exception>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "world/bubble_table.h"
#include "world/motion.h"
#include "world/wind.h"
#include "world/windbell.h"
#include "world_json.h"

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

constexpr int ExitBadInput = 2;
constexpr int64_t MaxSteps = 1000000;  // keeps a mistyped count from running for hours

const char* const Usage = "usage: vesperine-world step|layout|blow < input.json";

// The blow command applies a band given in full; nothing ever fires these timers.
class InertTimer final : public WindTimer {
 public:
  void SetEnabled(bool enabled) override { On = enabled; }
  bool Enabled() const override { return On; }
  void SetInterval(uint32_t milliseconds) override { Period = milliseconds; }
  uint32_t Interval() const override { return Period; }
  void SetHandler(std::function<void()>) override {}

 private:
  bool On = false;
  uint32_t Period = 0;
};

class InertPlatform final : public WindPlatform {
 public:
  std::unique_ptr<WindTimer> CreateTimer() override { return std::make_unique<InertTimer>(); }
  uint32_t TickCount() override { return 0; }
};

ordered_json RunSteps(const json& input) {
  WorldRect = {0, 0, IntegerField(input, "width"), IntegerField(input, "height")};
  BubbleRadius = IntegerField(input, "radius");
  Restitution = NumberField(input, "restitution");
  SoundOpen = BooleanField(input, "sound");
  const int64_t steps = IntegerFieldInRange(input, "steps", 0, MaxSteps);
  BallsCount = ReadBubbles(input);

  ordered_json rings = ordered_json::array();
  int64_t step = 0;
  std::unique_ptr<TWindBell> bell;
  if (SoundOpen) {
    bell = std::make_unique<TWindBell>(CreateSystemMidiPort(), 0);
    bell->OnRing = [&](int32_t a, int32_t b) { rings.push_back({step, a, b}); };
  }
  WindBell = bell.get();
  SeedRandom(0);
  for (step = 1; step <= steps; ++step) MotionStep();
  WindBell = nullptr;

  ordered_json output = BubblesDocument(BallsCount);
  output["rings"] = std::move(rings);
  return output;
}

ordered_json RunLayout(const json& input) {
  WorldRect = {0, 0, IntegerField(input, "width"), 0};
  BubbleRadius = IntegerField(input, "radius");
  const auto count = static_cast<int32_t>(
      IntegerFieldInRange(input, "count", std::numeric_limits<int32_t>::min(), BubbleCapacity));
  if (input.contains("seed")) {
    const auto seed = IntegerFieldInRange(input, "seed", 0, std::numeric_limits<uint32_t>::max());
    InitBubblesWithSeed(count, static_cast<uint32_t>(seed));
  } else {
    InitBubbles(count);
  }
  return BubblesDocument(count < 0 ? 0 : count);
}

ordered_json RunBlow(const json& input) {
  const GustBand band = ReadBand(input);
  double windX = 0;
  double windY = 0;
  NumberPairField(input, "wind", windX, windY);
  BallsCount = ReadBubbles(input);

  InertPlatform platform;
  TWind wind(platform);
  wind.Points = band;
  wind.WindX = windX;
  wind.WindY = windY;
  wind.RegionLive = true;
  wind.Blow();
  return BubblesDocument(BallsCount);
}

using Command = ordered_json (*)(const json& input);

Command FindCommand(std::string_view name) {
  if (name == "step") return RunSteps;
  if (name == "layout") return RunLayout;
  if (name == "blow") return RunBlow;
  return nullptr;
}

json ReadInput() {
  try {
    return json::parse(std::cin);
  } catch (const json::parse_error& error) {
    throw InputError(std::string("the input is not valid JSON: ") + error.what());
  }
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

int Fail(const std::string& message) {
  std::cerr << "vesperine-world: " << OneLine(message) << '\n';
  return ExitBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc < 2) return Fail(std::string("no command given; ") + Usage);
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h") {
      std::cout << Usage << '\n';
      return 0;
    }
    const Command command = FindCommand(name);
    if (command == nullptr) return Fail("unknown command \"" + std::string(name) + "\"; " + Usage);
    if (argc > 2) return Fail("unexpected argument \"" + std::string(argv[2]) + "\"; " + Usage);
    const ordered_json output = command(ReadInput());
    std::cout << output.dump() << '\n';
    return std::cout.flush() ? 0 : Fail("could not write the output");
  } catch (const InputError& error) {
    return Fail(error.what());
  } catch (const std::exception& error) {
    return Fail(std::string("bad input: ") + error.what());
  } catch (...) {
    return Fail("bad input");
  }
}
