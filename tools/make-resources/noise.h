// Seeded gradient noise and band-limited fractal sums for the painted background.
// Everything is a pure function of the seed and the coordinates, so the pictures are
// reproducible byte for byte.
#pragma once

#include <cstdint>

namespace art {

struct NoiseSample {
  double Value = 0;  // roughly -1..1
  double Dx = 0;     // partial derivatives of Value
  double Dy = 0;
};

class GradientNoise {
 public:
  explicit GradientNoise(uint32_t seed) : Seed(seed) {}
  NoiseSample Sample(double x, double y) const;

 private:
  uint32_t Seed;
};

struct FractalSample : NoiseSample {
  // Slope variance of the octaves left out because they were finer than the footprint;
  // a renderer adds it to its roughness so lost detail still widens highlights.
  double UnresolvedSlopeVariance = 0;
};

// Sum of `octaves` octaves (frequency x2, amplitude x gain, each rotated) at (x, y).
// Octaves whose cells are finer than about two footprints (the sample spacing in
// noise units) fade out, so distant samples do not alias.
FractalSample Fractal(const GradientNoise& noise, double x, double y, int octaves, double footprint,
                      double gain = 0.5);

// Deterministic uniform numbers for film grain (splitmix64).
class GrainRandom {
 public:
  explicit GrainRandom(uint64_t seed) : State(seed) {}
  double Uniform();   // [0, 1)
  double Gaussish();  // mean 0, deviation about 1 (sum of four uniforms)

 private:
  uint64_t State;
};

}  // namespace art
