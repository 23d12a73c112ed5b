#include "bubble_art.h"

#include <cmath>

namespace art {
namespace {

constexpr double Pi = 3.14159265358979323846;

// Union of two translucent layers, as light adds on glass.
double Screen(double a, double b) {
  return 1 - (1 - a) * (1 - b);
}

Picture RenderGreyAlpha(uint8_t grey, int samples, double (*alpha)(double, double)) {
  Picture picture(LayerSide, LayerSide, 2);
  for (int y = 0; y < LayerSide; ++y) {
    for (int x = 0; x < LayerSide; ++x) {
      double a = Supersample(x - LayerCentre, y - LayerCentre, samples, alpha);
      uint8_t* p = picture.At(x, y);
      p[0] = grey;
      p[1] = ToByte(a);
    }
  }
  return picture;
}

// A crescent hugging the rim: inside the circle of radius `outer`, outside a circle of
// radius `inner` whose centre is moved by `shift` away from the direction (dirX, dirY).
// Thickest along that direction, it thins to nothing towards the sides; the light is
// strongest along its middle line.
double Crescent(double dx, double dy, double dirX, double dirY, double outer, double inner,
                double shift) {
  double r = std::hypot(dx, dy);
  double ox = dx + dirX * shift, oy = dy + dirY * shift;
  double rInner = std::hypot(ox, oy);
  double insideOuter = 1 - SmoothStep(outer - 1.2, outer + 0.4, r);
  double outsideInner = SmoothStep(inner - 0.8, inner + 3.5, rInner);
  double band = insideOuter * outsideInner;
  if (band <= 0) return 0;
  // Across the band: 0 at the rim, 1 at the inner edge; light peaks a little inside the rim.
  double facing = (dx * dirX + dy * dirY) / std::max(r, 1e-9);
  double thickness = std::max(0.5, outer - (inner - shift * facing));
  double across = Clamp01((outer - r) / thickness);
  double profile = SmoothStep(0.0, 0.22, across) * (1 - 0.55 * SmoothStep(0.45, 1.0, across));
  return band * profile * SmoothStep(0.2, 0.85, facing);
}

// A small four-paned window reflected in the glass: soft rounded panes in a slightly
// tilted, curved frame.
double WindowGlint(double dx, double dy) {
  constexpr double CentreX = -50, CentreY = -55, Tilt = -0.62;
  double c = std::cos(Tilt), s = std::sin(Tilt);
  double u = c * (dx - CentreX) + s * (dy - CentreY);
  double v = -s * (dx - CentreX) + c * (dy - CentreY);
  // The sphere bends the frame: the farther from the window's centre, the more squeezed.
  double bend = 1 + 0.0025 * (u * u + v * v);
  u *= bend;
  v *= bend;
  constexpr double HalfW = 15.5, HalfH = 12.5, Bar = 1.8, Round = 3.0, Soft = 1.9;
  auto pane = [&](double pu, double pv, double halfW, double halfH) {
    double qx = std::abs(pu) - (halfW - Round), qy = std::abs(pv) - (halfH - Round);
    double outside =
        std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - Round;
    return 1 - SmoothStep(-Soft, Soft, outside);
  };
  double paneW = (HalfW - Bar) / 2, paneH = (HalfH - Bar) / 2;
  double sum = 0;
  for (int i = -1; i <= 1; i += 2) {
    for (int j = -1; j <= 1; j += 2) {
      sum += pane(u - i * (Bar + paneW), v - j * (Bar + paneH), paneW, paneH);
    }
  }
  // Brighter towards the upper left, where the crescent's light comes from.
  double fall = 0.78 - 0.018 * (u + v);
  return Clamp01(sum) * Clamp01(fall);
}

double SpotGlint(double dx, double dy, double cx, double cy, double radius) {
  double d = std::hypot(dx - cx, dy - cy) / radius;
  return std::exp(-d * d * 2.0);
}

}  // namespace

double BodyAlpha(double r) {
  constexpr double RimPeak = 107.2, RimWidth = 2.8, Outer = 110.3;
  double fresnel = std::pow(std::min(r / RimPeak, 1.0), 14);
  double rim = r < RimPeak ? std::exp(-std::pow((r - RimPeak) / RimWidth, 2)) : 1.0;
  double edge = 1 - SmoothStep(RimPeak + 0.6, Outer, r);
  double level = (1.0 + 52.0 * fresnel + 131.0 * rim) / 255.0;
  return std::min(level, 184.0 / 255.0) * edge;
}

double HighlightAlpha(double dx, double dy) {
  constexpr double Diag = 0.70710678;
  // The main crescent faces the light at the upper left.
  double main = Crescent(dx, dy, -Diag, -Diag, 104.5, 110.0, 22.0);
  // Its weaker twin at the lower right: light thrown back through the bubble.
  double back = 0.36 * Crescent(dx, dy, Diag, Diag, 105.5, 108.5, 11.0);
  // A faint line along the whole rim, brighter on the lit half.
  double r = std::hypot(dx, dy);
  double angle = std::atan2(dy, dx);
  double lit = 0.5 + 0.5 * std::cos(angle + 0.75 * Pi);
  double rimLine = (0.05 + 0.10 * lit) * std::exp(-std::pow((r - 104.0) / 1.6, 2));
  double glint = 0.55 * WindowGlint(dx, dy);
  double spot = 0.40 * SpotGlint(dx, dy, 52, 60, 5.5) + 0.22 * SpotGlint(dx, dy, -72, 64, 3.0);
  double a = Screen(Screen(main, back), Screen(Screen(rimLine, glint), spot));
  return a * (1 - SmoothStep(107.5, 109.5, r));
}

double ShadowAlpha(double r) {
  constexpr double Core = 80, Fade = 116;
  double t = Clamp01((r - Core) / (Fade - Core));
  // Eases out of the core and into the ground, like the penumbra of a round light.
  double fade = 0.5 + 0.5 * std::cos(Pi * t);
  return 33.0 / 255.0 * fade;
}

Picture RenderBody() {
  return RenderGreyAlpha(255, 4, [](double x, double y) { return BodyAlpha(std::hypot(x, y)); });
}

Picture RenderHighlights() {
  return RenderGreyAlpha(255, 4, [](double x, double y) { return HighlightAlpha(x, y); });
}

Picture RenderShadow() {
  Picture picture(LayerSide, LayerSide, 4);
  for (int y = 0; y < LayerSide; ++y) {
    for (int x = 0; x < LayerSide; ++x) {
      double a = Supersample(x - LayerCentre, y - LayerCentre, 4,
                             [](double sx, double sy) { return ShadowAlpha(std::hypot(sx, sy)); });
      uint8_t* p = picture.At(x, y);
      p[0] = p[1] = p[2] = 0;
      p[3] = ToByte(a);
    }
  }
  return picture;
}

Picture RenderMask() {
  constexpr int Border = 24;
  // Pixel i counts from the nearest edge; the outermost is 1/25 of the way in.
  auto edge = [](int i) {
    int fromEdge = std::min(i, LayerSide - 1 - i);
    return SmoothStep(0.0, 1.0, (fromEdge + 1.0) / (Border + 1.0));
  };
  Picture picture(LayerSide, LayerSide, 4);
  for (int y = 0; y < LayerSide; ++y) {
    for (int x = 0; x < LayerSide; ++x) {
      uint8_t* p = picture.At(x, y);
      p[0] = p[1] = p[2] = 255;
      p[3] = ToByte(edge(x) * edge(y));
    }
  }
  return picture;
}

}  // namespace art
