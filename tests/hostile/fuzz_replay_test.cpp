// Every seed and every input kept from a fuzzing finding, run through the fuzz target's
// own checks in the ordinary test run, so a fixed fault cannot come back unnoticed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The fuzz targets' entries, renamed at compile time; fuzz_targets.inc is generated from
// fuzz/targets.txt (see CMakeLists.txt).
#define VESPERINE_FUZZ_TARGET(name, entry) extern "C" int entry(const uint8_t*, size_t);
#include "fuzz_targets.inc"
#undef VESPERINE_FUZZ_TARGET

namespace {

namespace fs = std::filesystem;

using Entry = int (*)(const uint8_t*, size_t);

struct Target {
  const char* Name;
  Entry Run;
};

const Target Targets[] = {
#define VESPERINE_FUZZ_TARGET(name, entry) {#name, entry},
#include "fuzz_targets.inc"
#undef VESPERINE_FUZZ_TARGET
};

std::vector<fs::path> InputsOf(const std::string& target) {
  std::vector<fs::path> inputs;
  const fs::path fuzz = fs::path(VESPERINE_SOURCE_DIR) / "fuzz";
  for (const fs::path& folder : {fuzz / "corpus" / target, fuzz / "regressions" / target}) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

class KeptFuzzInputs : public ::testing::TestWithParam<Target> {};

TEST_P(KeptFuzzInputs, PassTheTargetsChecks) {
  const std::vector<fs::path> inputs = InputsOf(GetParam().Name);
  ASSERT_FALSE(inputs.empty()) << "no seeds for " << GetParam().Name;
  for (const fs::path& path : inputs) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> data(std::istreambuf_iterator<char>(in), {});
    // A broken check aborts the process, which fails this test by name.
    EXPECT_EQ(GetParam().Run(data.data(), data.size()), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(EachTarget, KeptFuzzInputs, ::testing::ValuesIn(Targets),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
