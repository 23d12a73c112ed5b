// Long runs of the bubble world: random worlds stepped with gusts blowing, checked after
// every step. Shared by the world_soak program and its short gtest.
#pragma once

#include <cstdint>
#include <string>

struct WorldSoakOptions {
  uint64_t Steps = 100000;         // motion steps in all
  uint32_t StepsPerWorld = 10000;  // then a new random world
  uint32_t Seed = 1;
};

struct WorldSoakReport {
  uint64_t Steps = 0;
  uint32_t Worlds = 0;
  uint64_t Gusts = 0;
  double FastestSpeed = 0;  // the largest |velocity| seen after any step
  double FastestWind = 0;   // the largest |wind vector| of any gust
  std::string Failure;      // empty when every check held
};

// Each world: a radius of 0 to 300, a width and a height of at least two radii, 0 to
// 100 bubbles (some worlds ask for more or fewer than the table holds), restitution
// 0.8 or 1.0, and the wind's timers fired as 40 ms frames pass. After every step: no
// NaN or infinity, every centre within one step's travel of the walls' limits, tints
// within 0..255, and speeds within a bound set by the start speeds and the winds.
WorldSoakReport RunWorldSoak(const WorldSoakOptions& options);
