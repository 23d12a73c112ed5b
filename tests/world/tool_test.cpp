// Runs vesperine-world as a program: JSON on stdin, JSON on stdout, and for bad input
// one line on stderr with exit code 2.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "world/motion.h"
#include "world_fixture.h"

using nlohmann::json;

namespace {

struct ToolRun {
  int Exit = -1;
  std::string Out, Err;
};

std::string Take(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  std::remove(path.c_str());
  return text.str();
}

ToolRun RunTool(const std::string& arguments, const std::string& input) {
  // Named after the test and the process: ctest runs the cases in parallel.
  const std::string base = ::testing::TempDir() + "/world_tool_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                           std::to_string(getpid());
  std::ofstream(base + ".in") << input;
  const int status = std::system((VESPERINE_WORLD_TOOL " " + arguments + " < " + base + ".in > " +
                                  base + ".out 2> " + base + ".err")
                                     .c_str());
  Take(base + ".in");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Take(base + ".out"), Take(base + ".err")};
}

json TableJson(int count) {
  json bubbles = json::array();
  for (const Bubble& b : std::vector(BubbleTable + 1, BubbleTable + 1 + count))
    bubbles.push_back({{"x", b.X},
                       {"y", b.Y},
                       {"vx", b.VX},
                       {"vy", b.VY},
                       {"red", b.Red},
                       {"green", b.Green},
                       {"blue", b.Blue},
                       {"red_step", b.RedStep},
                       {"green_step", b.GreenStep},
                       {"blue_step", b.BlueStep},
                       {"active", b.Active}});
  return bubbles;
}

json StepInput(int count, int steps) {
  return {{"width", WorldRect.Width},
          {"height", WorldRect.Height},
          {"radius", BubbleRadius},
          {"restitution", Restitution},
          {"sound", true},
          {"steps", steps},
          {"bubbles", TableJson(count)}};
}

// The doubles must read back as the very bits of the table.
void ExpectPrintsTable(const ToolRun& run, int count) {
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const json printed = json::parse(run.Out).at("bubbles");
  EXPECT_EQ(printed, TableJson(count));
  for (int k = 0; k < count && k < int(printed.size()); ++k) {
    const double x = printed[k]["x"], vx = printed[k]["vx"];
    EXPECT_EQ(std::memcmp(&x, &BubbleTable[k + 1].X, sizeof x), 0) << k;
    EXPECT_EQ(std::memcmp(&vx, &BubbleTable[k + 1].VX, sizeof vx), 0) << k;
  }
}

}  // namespace

using WorldTool = WorldTest;

TEST_F(WorldTool, StepRunsTheMotionStepAndReportsEveryRingWithItsStep) {
  WorldRect = {0, 0, 800, 600};
  BubbleRadius = 40;
  InitBubblesWithSeed(BallsCount = 30, 99);
  BubbleTable[30].VX = -0.0;
  const json input = StepInput(30, 120);
  json rings = json::array();
  int step = 0;
  TWindBell bell(CreateSystemMidiPort(), 0);
  bell.OnRing = [&](int32_t a, int32_t b) { rings.push_back({step, a, b}); };
  WindBell = &bell;
  SoundOpen = true;
  for (step = 1; step <= 120; ++step) MotionStep();
  const ToolRun run = RunTool("step", input.dump());
  ExpectPrintsTable(run, 30);
  EXPECT_GT(rings.size(), 0u);
  EXPECT_EQ(json::parse(run.Out).at("rings"), rings);
}

TEST_F(WorldTool, LayoutAndBlowMatchTheLibrary) {
  InitBubblesWithSeed(20, 4321);
  ExpectPrintsTable(RunTool("layout", R"({"width":1024,"radius":78,"count":20,"seed":4321})"), 20);
  Place(1, 350, 200, 0, 0);
  Place(2, 350, 200, 0, 0, false);
  Place(3, 100, 200, 0, 0);
  const json band = {{"corners", {{300, 0}, {400, 0}, {300, 400}, {400, 400}}},
                     {"wind", {10, -5}},
                     {"bubbles", TableJson(3)}};
  const ToolRun run = RunTool("blow", band.dump());
  BubbleTable[1].VX = 0.5;
  BubbleTable[1].VY = -0.25;
  ExpectPrintsTable(run, 3);
}

TEST_F(WorldTool, BadInputGetsOneLineOnStderrAndExitCodeTwo) {
  Place(1, 100, 100, 1, 1);
  const json good = StepInput(1, 3);
  ASSERT_EQ(RunTool("step", good.dump()).Exit, 0);
  std::vector<std::pair<std::string, std::string>> cases = {
      {"", "{}"},
      {"shake", "{}"},
      {"step", "not json"},
      {"step", "[1, 2]"},
      {"layout", R"({"width":1024,"radius":78,"count":101})"},
      {"blow", R"({"corners":[[0,0],[1,0],[1,1]],"wind":[1,1],"bubbles":[]})"}};
  const std::pair<json::json_pointer, json> changes[] = {
      {"/width"_json_pointer, "wide"},
      {"/width"_json_pointer, 10.5},
      {"/steps"_json_pointer, -1},
      {"/bubbles/0/red"_json_pointer, 1ll << 32},
      {"/bubbles/0/x"_json_pointer, nullptr},
      {"/bubbles"_json_pointer, json::array()},
      {"/restitution"_json_pointer, 1e300}};  // a velocity beyond any JSON number
  for (const auto& [where, value] : changes) {
    json changed = good;
    changed[where] = value;
    if (value.is_array()) changed[where] = std::vector(101, good["bubbles"][0]);
    if (value == 1e300) changed["bubbles"][0]["vx"] = 1e300;
    cases.push_back({"step", changed.dump()});
  }
  json missing = good;
  missing.erase("sound");
  cases.push_back({"step", missing.dump()});
  for (const auto& [arguments, input] : cases) {
    const ToolRun run = RunTool(arguments, input);
    EXPECT_EQ(run.Exit, 2) << arguments << " <<< " << input;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("vesperine-world: ", 0), 0u) << run.Err;
    EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << "one line: " << run.Err;
  }
}
