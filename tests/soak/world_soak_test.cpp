#include "world_soak.h"

#include <gtest/gtest.h>

namespace {

TEST(WorldSoak, HundredThousandStepsOfRandomWorldsStayFiniteInsideAndBounded) {
  const WorldSoakReport report = RunWorldSoak({.Steps = 100000, .StepsPerWorld = 5000, .Seed = 7});
  EXPECT_EQ(report.Failure, "");
  EXPECT_EQ(report.Steps, 100000u);
  EXPECT_EQ(report.Worlds, 20u);
  // The gusts really blew: a soak without wind would prove much less.
  EXPECT_GT(report.Gusts, 1000u);
  EXPECT_GT(report.FastestWind, 8.0);
}

}  // namespace
