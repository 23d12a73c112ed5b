#include "world/geometry.h"

#include <cmath>
#include <limits>

namespace {

// Coordinate differences of 32-bit points need 33 bits, so their products need 66:
// more than int64_t holds. A product is kept as a sign and a magnitude, which fits
// an unsigned 64-bit integer because every factor is below 2^32 in magnitude.
struct Product {
  int sign;  // -1, 0 or +1
  uint64_t magnitude;
};

uint64_t Magnitude(int64_t v) {
  return v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
}

Product Multiply(int64_t a, int64_t b) {
  if (a == 0 || b == 0) return {0, 0};
  return {(a < 0) != (b < 0) ? -1 : 1, Magnitude(a) * Magnitude(b)};
}

// Sign of p - q.
int CompareProducts(Product p, Product q) {
  if (p.sign != q.sign) return p.sign < q.sign ? -1 : 1;
  if (p.magnitude == q.magnitude) return 0;
  const int larger = p.magnitude > q.magnitude ? 1 : -1;
  return p.sign >= 0 ? larger : -larger;
}

// > 0 when p lies left of the directed line a -> b, < 0 right of it, 0 on it.
int Side(IntPoint a, IntPoint b, int64_t px, int64_t py) {
  const int64_t ax = a.x, ay = a.y, bx = b.x, by = b.y;
  return CompareProducts(Multiply(bx - ax, py - ay), Multiply(px - ax, by - ay));
}

bool Between(int64_t v, int64_t end1, int64_t end2) {
  return end1 <= end2 ? end1 <= v && v <= end2 : end2 <= v && v <= end1;
}

bool OnSegment(IntPoint a, IntPoint b, int32_t x, int32_t y) {
  return Between(x, a.x, b.x) && Between(y, a.y, b.y) && Side(a, b, x, y) == 0;
}

}  // namespace

// Points on an edge count as inside, so the band is a closed set: the crossing point of
// the hourglass belongs to it, and a degenerate band still holds its own outline.
bool PointInBand(const GustBand& band, int32_t x, int32_t y) {
  int winding = 0;
  for (int k = 0; k < 4; ++k) {
    const IntPoint a = band.Corner[k];
    const IntPoint b = band.Corner[(k + 1) % 4];
    if (OnSegment(a, b, x, y)) return true;
    if (a.y <= y) {
      if (b.y > y && Side(a, b, x, y) > 0) ++winding;
    } else if (b.y <= y && Side(a, b, x, y) < 0) {
      --winding;
    }
  }
  return winding != 0;
}

// Exact for every value a double can hold; NaN gives 0 and values beyond the int64_t
// range saturate.
int64_t RoundHalfEven(long double v) {
  constexpr long double two63 = 9223372036854775808.0L;
  if (std::isnan(v)) return 0;
  if (v >= two63) return std::numeric_limits<int64_t>::max();
  if (v < -two63) return std::numeric_limits<int64_t>::min();
  const long double lower = std::floor(v);
  int64_t rounded = static_cast<int64_t>(lower);
  if (v == lower) return rounded;
  const long double half = lower + 0.5L;
  if (v > half || (v == half && (rounded & 1) != 0)) ++rounded;
  return rounded;
}
