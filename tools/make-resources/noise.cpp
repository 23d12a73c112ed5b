#include "noise.h"

#include <cmath>

#include "raster.h"

namespace art {
namespace {

// Sixteen unit directions, k x 22.5 degrees, written out so no libm call decides them.
constexpr double GradX[16] = {1.0,        0.9238795,  0.7071068, 0.3826834,  0.0,        -0.3826834,
                              -0.7071068, -0.9238795, -1.0,      -0.9238795, -0.7071068, -0.3826834,
                              0.0,        0.3826834,  0.7071068, 0.9238795};
constexpr double GradY[16] = {0.0,       0.3826834,  0.7071068,  0.9238795,  1.0,        0.9238795,
                              0.7071068, 0.3826834,  0.0,        -0.3826834, -0.7071068, -0.9238795,
                              -1.0,      -0.9238795, -0.7071068, -0.3826834};

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h =
      seed ^ (static_cast<uint32_t>(x) * 0x8da6b343u) ^ (static_cast<uint32_t>(y) * 0xd8163841u);
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

}  // namespace

NoiseSample GradientNoise::Sample(double x, double y) const {
  double fx0 = std::floor(x), fy0 = std::floor(y);
  auto ix = static_cast<int32_t>(fx0), iy = static_cast<int32_t>(fy0);
  double fx = x - fx0, fy = y - fy0;
  double u = fx * fx * fx * (fx * (fx * 6 - 15) + 10);
  double v = fy * fy * fy * (fy * (fy * 6 - 15) + 10);
  double du = 30 * fx * fx * (fx * (fx - 2) + 1);
  double dv = 30 * fy * fy * (fy * (fy - 2) + 1);

  uint32_t h00 = Hash(ix, iy, Seed) & 15, h10 = Hash(ix + 1, iy, Seed) & 15;
  uint32_t h01 = Hash(ix, iy + 1, Seed) & 15, h11 = Hash(ix + 1, iy + 1, Seed) & 15;
  double ax = GradX[h00], ay = GradY[h00], bx = GradX[h10], by = GradY[h10];
  double cx = GradX[h01], cy = GradY[h01], dx = GradX[h11], dy = GradY[h11];

  double va = ax * fx + ay * fy;
  double vb = bx * (fx - 1) + by * fy;
  double vc = cx * fx + cy * (fy - 1);
  double vd = dx * (fx - 1) + dy * (fy - 1);
  double k = va - vb - vc + vd;

  // Scaled so the value spans about -1..1.
  constexpr double Scale = 1.4;
  NoiseSample s;
  s.Value = Scale * (va + u * (vb - va) + v * (vc - va) + u * v * k);
  s.Dx = Scale * (ax + u * (bx - ax) + v * (cx - ax) + u * v * (ax - bx - cx + dx) +
                  du * (vb - va + v * k));
  s.Dy = Scale * (ay + u * (by - ay) + v * (cy - ay) + u * v * (ay - by - cy + dy) +
                  dv * (vc - va + u * k));
  return s;
}

FractalSample Fractal(const GradientNoise& noise, double x, double y, int octaves, double footprint,
                      double gain) {
  // Each octave samples at A p + offset; A doubles and turns by about 37 degrees, and the
  // chain rule carries derivatives back to (x, y) through A's transpose.
  double a00 = 1, a01 = 0, a10 = 0, a11 = 1;
  double px = x, py = y;
  double amplitude = 1, frequency = 1;
  FractalSample sum;
  for (int i = 0; i < octaves; ++i) {
    double weight = 1 - SmoothStep(0.25, 0.5, frequency * footprint);
    if (weight > 0) {
      NoiseSample n = noise.Sample(px, py);
      double w = amplitude * weight;
      sum.Value += w * n.Value;
      sum.Dx += w * (a00 * n.Dx + a10 * n.Dy);
      sum.Dy += w * (a01 * n.Dx + a11 * n.Dy);
    }
    // Mean square slope of one octave is about 1.2 x (amplitude x frequency)^2.
    double slope = amplitude * frequency;
    sum.UnresolvedSlopeVariance += (1 - weight * weight) * 1.2 * slope * slope;

    double nx = 1.6 * px - 1.2 * py + 17.31, ny = 1.2 * px + 1.6 * py - 9.47;
    px = nx;
    py = ny;
    double b00 = 1.6 * a00 - 1.2 * a10, b01 = 1.6 * a01 - 1.2 * a11;
    double b10 = 1.2 * a00 + 1.6 * a10, b11 = 1.2 * a01 + 1.6 * a11;
    a00 = b00;
    a01 = b01;
    a10 = b10;
    a11 = b11;
    amplitude *= gain;
    frequency *= 2;
  }
  return sum;
}

double GrainRandom::Uniform() {
  uint64_t z = (State += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

double GrainRandom::Gaussish() {
  // Variance of a sum of four uniforms is 4/12; scale to 1.
  double s = Uniform() + Uniform() + Uniform() + Uniform() - 2.0;
  return s * 1.7320508;
}

}  // namespace art
