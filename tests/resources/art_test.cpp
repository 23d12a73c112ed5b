// The generator's own building blocks where a fault would not show as a wrong layout:
// the noise derivatives that tilt the waves, the octave filter, the icon container.
#include <gtest/gtest.h>

#include <cmath>

#include "icon.h"
#include "noise.h"

namespace {

void ExpectDerivativesMatchFiniteDifferences(double x, double y, auto&& sample) {
  constexpr double H = 1e-5;
  auto at = sample(x, y);
  double dx = (sample(x + H, y).Value - sample(x - H, y).Value) / (2 * H);
  double dy = (sample(x, y + H).Value - sample(x, y - H).Value) / (2 * H);
  EXPECT_NEAR(at.Dx, dx, 1e-4 * (1 + std::abs(dx))) << x << "," << y;
  EXPECT_NEAR(at.Dy, dy, 1e-4 * (1 + std::abs(dy))) << x << "," << y;
}

}  // namespace

TEST(GradientNoise, ReportsDerivativesThatMatchItsValues) {
  art::GradientNoise noise(7);
  for (double x : {-3.7, -0.2, 0.5, 1.9, 12.25}) {
    for (double y : {-5.1, 0.3, 2.0001, 7.8}) {
      ExpectDerivativesMatchFiniteDifferences(
          x, y, [&](double px, double py) { return noise.Sample(px, py); });
    }
  }
}

TEST(GradientNoise, DependsOnTheSeedButIsTheSameForTheSameSeed) {
  art::GradientNoise a(1), b(1), c(2);
  EXPECT_EQ(a.Sample(3.3, 4.4).Value, b.Sample(3.3, 4.4).Value);
  EXPECT_NE(a.Sample(3.3, 4.4).Value, c.Sample(3.3, 4.4).Value);
}

TEST(Fractal, CarriesDerivativesThroughItsTurnedOctaves) {
  art::GradientNoise noise(11);
  for (double x : {-1.3, 0.77, 5.5}) {
    for (double y : {-2.2, 0.1, 3.9}) {
      ExpectDerivativesMatchFiniteDifferences(
          x, y, [&](double px, double py) { return art::Fractal(noise, px, py, 6, 0.0); });
    }
  }
}

TEST(Fractal, FadesOctavesFinerThanTheFootprintAndCountsTheirSlope) {
  art::GradientNoise noise(5);
  art::FractalSample sharp = art::Fractal(noise, 0.3, 0.6, 8, 0.0);
  EXPECT_EQ(sharp.UnresolvedSlopeVariance, 0.0);
  // One octave resolved in full: the sum is the base octave alone.
  art::FractalSample coarse = art::Fractal(noise, 0.3, 0.6, 8, 0.25);
  EXPECT_DOUBLE_EQ(coarse.Value, noise.Sample(0.3, 0.6).Value);
  EXPECT_GT(coarse.UnresolvedSlopeVariance, 0.0);
  // A footprint wider than every cell leaves nothing but lost slope.
  art::FractalSample blurred = art::Fractal(noise, 0.3, 0.6, 8, 1.0);
  EXPECT_EQ(blurred.Value, 0.0);
  EXPECT_GT(blurred.UnresolvedSlopeVariance, coarse.UnresolvedSlopeVariance);
}

TEST(EncodeIco, RefusesPicturesAnIcoEntryCannotDescribe) {
  EXPECT_THROW(art::EncodeIco({art::Picture(256, 256, 4)}), std::invalid_argument);
  EXPECT_THROW(art::EncodeIco({art::Picture(16, 16, 3)}), std::invalid_argument);
  EXPECT_THROW(art::EncodeIco({art::Picture(0, 0, 4)}), std::invalid_argument);
  EXPECT_NO_THROW(art::EncodeIco({art::Picture(255, 255, 4)}));
}
