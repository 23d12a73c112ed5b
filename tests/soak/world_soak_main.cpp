// world_soak [STEPS] [SEED]: steps random worlds with gusts blowing and checks every
// step; prints the figures and exits non-zero at the first unsound bubble.
#include <cstdio>
#include <cstdlib>

#include "world_soak.h"

int main(int argc, char** argv) {
  WorldSoakOptions options;
  options.Steps = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000ull;
  options.Seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1u;
  const WorldSoakReport report = RunWorldSoak(options);
  std::printf("steps %llu, worlds %u, gusts %llu, fastest bubble %.1f px/step, fastest wind %.1f\n",
              static_cast<unsigned long long>(report.Steps), report.Worlds,
              static_cast<unsigned long long>(report.Gusts), report.FastestSpeed,
              report.FastestWind);
  if (!report.Failure.empty()) {
    std::printf("FAILED: %s\n", report.Failure.c_str());
    return 1;
  }
  return 0;
}
