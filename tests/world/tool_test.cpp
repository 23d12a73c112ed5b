// Runs the vesperine-world tool as a program: stdin JSON in, stdout JSON out, and one
// line on stderr with exit code 2 for bad input.
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "world/motion.h"
#include "world_fixture.h"

using nlohmann::json;

namespace {

struct ToolRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Files named after the test and the process, since ctest runs the cases in parallel.
std::string ScratchPath(const char* suffix) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "/world_tool_" + test->name() + "_" + std::to_string(getpid()) +
         suffix;
}

ToolRun RunTool(const std::string& arguments, const std::string& input) {
  const std::string in = ScratchPath(".in");
  const std::string out = ScratchPath(".out");
  const std::string err = ScratchPath(".err");
  std::ofstream(in, std::ios::binary) << input;
  const std::string command = std::string("'") + VESPERINE_WORLD_TOOL + "' " + arguments + " < '" +
                              in + "' > '" + out + "' 2> '" + err + "'";
  const int status = std::system(command.c_str());
  ToolRun run;
  run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadAll(out);
  run.Err = ReadAll(err);
  for (const std::string& path : {in, out, err}) std::remove(path.c_str());
  return run;
}

json BubbleJson(const Bubble& b) {
  return json{{"x", b.X},
              {"y", b.Y},
              {"vx", b.VX},
              {"vy", b.VY},
              {"red", b.Red},
              {"green", b.Green},
              {"blue", b.Blue},
              {"red_step", b.RedStep},
              {"green_step", b.GreenStep},
              {"blue_step", b.BlueStep},
              {"active", b.Active}};
}

json TableJson(int count) {
  json bubbles = json::array();
  for (int k = 1; k <= count; ++k) bubbles.push_back(BubbleJson(BubbleTable[k]));
  return bubbles;
}

uint64_t Bits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// The printed bubble must be the record, to the last bit of every double.
void ExpectSameBubble(const json& printed, const Bubble& b, int k) {
  SCOPED_TRACE("bubble " + std::to_string(k));
  EXPECT_EQ(Bits(printed.at("x").get<double>()), Bits(b.X));
  EXPECT_EQ(Bits(printed.at("y").get<double>()), Bits(b.Y));
  EXPECT_EQ(Bits(printed.at("vx").get<double>()), Bits(b.VX));
  EXPECT_EQ(Bits(printed.at("vy").get<double>()), Bits(b.VY));
  EXPECT_EQ(printed.at("red").get<int32_t>(), b.Red);
  EXPECT_EQ(printed.at("green").get<int32_t>(), b.Green);
  EXPECT_EQ(printed.at("blue").get<int32_t>(), b.Blue);
  EXPECT_EQ(printed.at("red_step").get<int32_t>(), b.RedStep);
  EXPECT_EQ(printed.at("green_step").get<int32_t>(), b.GreenStep);
  EXPECT_EQ(printed.at("blue_step").get<int32_t>(), b.BlueStep);
  EXPECT_EQ(printed.at("active").get<bool>(), b.Active);
}

void ExpectSameTable(const json& output, int count) {
  ASSERT_EQ(output.at("bubbles").size(), size_t(count));
  for (int k = 1; k <= count; ++k) ExpectSameBubble(output["bubbles"][k - 1], BubbleTable[k], k);
}

json StepInput(int count, int steps, bool sound) {
  return json{{"width", WorldRect.Width},
              {"height", WorldRect.Height},
              {"radius", BubbleRadius},
              {"restitution", Restitution},
              {"sound", sound},
              {"steps", steps},
              {"bubbles", TableJson(count)}};
}

void ExpectBadInput(const std::string& arguments, const std::string& input) {
  SCOPED_TRACE(arguments + " <<< " + input.substr(0, 80));
  const ToolRun run = RunTool(arguments, input);
  EXPECT_EQ(run.Exit, 2);
  EXPECT_TRUE(run.Out.empty()) << run.Out;
  ASSERT_FALSE(run.Err.empty());
  EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << "one line: " << run.Err;
  EXPECT_EQ(run.Err.rfind("vesperine-world: ", 0), 0u) << run.Err;
}

}  // namespace

using WorldTool = WorldTest;

TEST_F(WorldTool, StepRunsTheMotionStepAndReportsEveryRingWithItsStep) {
  WorldRect = {0, 0, 800, 600};
  BubbleRadius = 40;
  InitBubblesWithSeed(30, 99);
  const json input = StepInput(30, 120, true);

  std::vector<json> rings;
  int step = 0;
  MidiLog log;
  TWindBell bell(std::make_unique<RecordingMidiPort>(log), 0);
  bell.OnRing = [&](int32_t a, int32_t b) { rings.push_back(json::array({step, a, b})); };
  WindBell = &bell;
  SoundOpen = true;
  BallsCount = 30;
  for (step = 1; step <= 120; ++step) MotionStep();

  const ToolRun run = RunTool("step", input.dump());
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const json output = json::parse(run.Out);
  ExpectSameTable(output, 30);
  ASSERT_FALSE(rings.empty()) << "the world should have rung";
  EXPECT_EQ(output.at("rings"), json(rings));
}

TEST_F(WorldTool, StepWithSoundOffRingsNothing) {
  WorldRect = {0, 0, 800, 600};
  BubbleRadius = 40;
  InitBubblesWithSeed(30, 99);
  const ToolRun run = RunTool("step", StepInput(30, 120, false).dump());
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(json::parse(run.Out).at("rings"), json::array());
}

TEST_F(WorldTool, PrintedDoublesReadBackToTheSameBits) {
  const double awkward[] = {
      0.1, 1.0 / 3, -0.0, 5e-324, 1e-300, 1.7976931348623157e308, -2.5e-17, 123456789.123456789};
  for (int k = 1; k <= 8; ++k) Place(k, awkward[k - 1], awkward[8 - k], awkward[k % 8], 1e22);
  const ToolRun run = RunTool("step", StepInput(8, 0, false).dump());
  ASSERT_EQ(run.Exit, 0) << run.Err;
  ExpectSameTable(json::parse(run.Out), 8);
}

TEST_F(WorldTool, LayoutWithASeedMatchesTheLibraryAndWithoutOneStillLaysOut) {
  WorldRect.Width = 1024;
  BubbleRadius = 78;
  InitBubblesWithSeed(20, 4321);
  ToolRun run = RunTool("layout", R"({"width":1024,"radius":78,"count":20,"seed":4321})");
  ASSERT_EQ(run.Exit, 0) << run.Err;
  ExpectSameTable(json::parse(run.Out), 20);

  run = RunTool("layout", R"({"width":1024,"radius":78,"count":13})");
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const json bubbles = json::parse(run.Out).at("bubbles");
  ASSERT_EQ(bubbles.size(), 13u);
  EXPECT_EQ(bubbles[12].at("x"), 8.0);
  EXPECT_EQ(bubbles[12].at("y"), 246.0);

  run = RunTool("layout", R"({"width":1024,"radius":78,"count":-5})");
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(json::parse(run.Out).at("bubbles"), json::array());
}

TEST_F(WorldTool, BlowPushesTheActiveBubblesInsideTheGivenBand) {
  Place(1, 350, 200, 0, 0);
  Place(2, 350, 200, 0, 0, false);
  Place(3, 100, 200, 0, 0);
  json input = {{"corners", {{300, 0}, {400, 0}, {300, 400}, {400, 400}}},
                {"wind", {10, -5}},
                {"bubbles", TableJson(3)}};
  const ToolRun run = RunTool("blow", input.dump());
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const json bubbles = json::parse(run.Out).at("bubbles");
  EXPECT_EQ(bubbles[0].at("vx"), 0.5);
  EXPECT_EQ(bubbles[0].at("vy"), -0.25);
  EXPECT_EQ(bubbles[1].at("vx"), 0.0);
  EXPECT_EQ(bubbles[2].at("vx"), 0.0);
}

TEST_F(WorldTool, BadCommandLinesGetOneLineAndExitCodeTwo) {
  ExpectBadInput("", "{}");
  ExpectBadInput("shake", "{}");
  ExpectBadInput("step extra", "{}");
}

TEST_F(WorldTool, BadDocumentsGetOneLineAndExitCodeTwo) {
  Place(1, 100, 100, 1, 1);
  const json good = StepInput(1, 3, true);
  ASSERT_EQ(RunTool("step", good.dump()).Exit, 0);

  ExpectBadInput("step", "");
  ExpectBadInput("step", "not json");
  ExpectBadInput("step", good.dump() + " trailing");
  ExpectBadInput("step", "[1, 2]");
  for (const char* field :
       {"width", "height", "radius", "restitution", "sound", "steps", "bubbles"}) {
    json missing = good;
    missing.erase(field);
    ExpectBadInput("step", missing.dump());
  }
  json wrong = good;
  wrong["width"] = "wide";
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["width"] = 10.5;
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["radius"] = 4294967296ll;
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["steps"] = -1;
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["sound"] = 1;
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["bubbles"][0]["red"] = 1.5;
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["bubbles"][0].erase("active");
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["bubbles"][0]["x"] = nullptr;
  ExpectBadInput("step", wrong.dump());
  wrong = good;
  wrong["bubbles"] = json::array();
  for (int k = 0; k < 101; ++k) wrong["bubbles"].push_back(good["bubbles"][0]);
  ExpectBadInput("step", wrong.dump());
}

TEST_F(WorldTool, BadLayoutAndBlowDocumentsGetOneLineAndExitCodeTwo) {
  ExpectBadInput("layout", R"({"width":1024,"radius":78,"count":101})");
  ExpectBadInput("layout", R"({"width":1024,"radius":78,"count":10,"seed":-1})");
  ExpectBadInput("layout", R"({"width":1024,"count":10})");
  ExpectBadInput("blow", R"({"corners":[[0,0],[1,0],[1,1]],"wind":[1,1],"bubbles":[]})");
  ExpectBadInput("blow", R"({"corners":[[0,0],[1,0],[1,1],[0]],"wind":[1,1],"bubbles":[]})");
  ExpectBadInput("blow", R"({"corners":[[0,0],[1,0],[1,1],[0,1]],"wind":[1],"bubbles":[]})");
  ExpectBadInput("blow", R"({"corners":[[0,0],[1,0],[1,1],[0,0.5]],"wind":[1,1],"bubbles":[]})");
}

TEST_F(WorldTool, ResultBeyondTheRangeOfJsonNumbersIsRefused) {
  Restitution = 1e300;
  Place(1, 500, 400, 1e300, 0);
  ExpectBadInput("step", StepInput(1, 1, false).dump());
}
