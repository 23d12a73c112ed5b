#include "seascape.h"

#include <array>
#include <cmath>

#include "noise.h"

namespace art {
namespace {

constexpr double Width = BackgroundWidth;
constexpr double Height = BackgroundHeight;
// The camera keeps the view of the first, 395-pixel-high picture: the scene is laid out in
// angles (tangents), and Focal turns them into this picture's pixels.
constexpr double Focal = Height * 520.0 / 395.0;     // pixels per unit of tangent
constexpr double HorizonY = Height * 246.0 / 395.0;  // screen row of the level horizon
constexpr double CentreX = Width / 2;
constexpr double OnePixel = 1 / Focal;  // one pixel, in tangent units

// Near the middle, so that a 9:16 cut (about +-0.21 across) still holds the whole disc, and
// high enough above the horizon and the islands for it to stay whole.
constexpr double SunAcross = 0.075;   // tangent right of the view's centre
constexpr double SunAbove = 0.052;    // tangent above the horizon
constexpr double SunRadius = 0.0215;  // angular, radians

struct Vec {
  double X = 0, Y = 0, Z = 0;
};
Vec operator+(Vec a, Vec b) {
  return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
Vec operator*(Vec a, double k) {
  return {a.X * k, a.Y * k, a.Z * k};
}
double Dot(Vec a, Vec b) {
  return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
Vec Normalized(Vec a) {
  return a * (1 / std::sqrt(Dot(a, a)));
}

// The direction through a screen point; y grows downwards on screen, Y upwards in space.
Vec ScreenRay(double sx, double sy) {
  return {(sx - CentreX) / Focal, (HorizonY - sy) / Focal, 1};
}

const Vec SunDir = Normalized({SunAcross, SunAbove, 1});

class Scene {
 public:
  Rgb Pixel(double sx, double sy) const;

 private:
  Rgb SkyGradient(Vec dir) const;
  Rgb SunGlow(Vec dir) const;
  Rgb SunDisc(Vec dir) const;
  // Cloud colour premultiplied by its opacity, and the opacity, for a ray into the sky.
  struct Cloud {
    Rgb Colour;
    double Opacity = 0;
  };
  Cloud Clouds(Vec dir, double footprintPx, bool reflection) const;
  Rgb Sky(Vec dir, double footprintPx, bool reflection) const;
  // Height (tangent) above the horizon of the two islands at a direction across (tangent).
  double NearRidge(double across) const;
  double FarRidge(double across) const;
  // Colour of the hills if the ray meets one, else false.
  bool Hills(Vec dir, Rgb& colour, bool reflection) const;
  Rgb Sea(double sx, double sy) const;

  GradientNoise CloudNoise{0x5eed0001u};
  GradientNoise StreakNoise{0x5eed0002u};
  GradientNoise WispNoise{0x5eed0003u};
  GradientNoise RidgeNoise{0x5eed0004u};
  GradientNoise WaveNoise{0x5eed0005u};
};

double Elevation(Vec dir) {
  return std::atan2(dir.Y, std::hypot(dir.X, dir.Z));
}
double AngleToSun(Vec dir) {
  return std::acos(std::clamp(Dot(Normalized(dir), SunDir), -1.0, 1.0));
}

Rgb Scene::SkyGradient(Vec dir) const {
  struct Stop {
    double At;
    Rgb Colour;
  };
  static const std::array<Stop, 7> Stops = {{
      {0.00, Linear(255, 168, 96)},
      {0.04, Linear(250, 142, 92)},
      {0.12, Linear(228, 118, 104)},
      {0.26, Linear(170, 98, 126)},
      {0.45, Linear(106, 80, 132)},
      {0.70, Linear(58, 62, 118)},
      {1.00, Linear(26, 36, 86)},
  }};
  double e = std::max(0.0, Elevation(dir)) / 0.44;
  Rgb colour = Stops.back().Colour;
  for (size_t i = 1; i < Stops.size(); ++i) {
    if (e <= Stops[i].At) {
      double t = (e - Stops[i - 1].At) / (Stops[i].At - Stops[i - 1].At);
      colour = Mix(Stops[i - 1].Colour, Stops[i].Colour, SmoothStep(0, 1, t));
      break;
    }
  }
  // The sky is warmer towards the sun's side and cooler away from it.
  double side = std::clamp((dir.X - SunDir.X) / 0.6, -1.0, 1.0);
  colour =
      colour * Rgb{1 - 0.06 * std::abs(side), 1 - 0.04 * std::abs(side), 1 + 0.05 * std::abs(side)};
  return colour;
}

Rgb Scene::SunGlow(Vec dir) const {
  double a = AngleToSun(dir);
  double nearHorizon = std::exp(-std::max(0.0, Elevation(dir)) / 0.08);
  Rgb core = Linear(255, 196, 120) * (1.4 * std::exp(-a / 0.018));
  Rgb halo = Linear(255, 170, 90) * (0.55 * std::exp(-a / 0.075));
  Rgb wide = Linear(255, 130, 80) * (0.28 * std::exp(-a / 0.35) * (0.4 + 0.6 * nearHorizon));
  return core + halo + wide;
}

Rgb Scene::SunDisc(Vec dir) const {
  double a = AngleToSun(dir);
  double inside = 1 - SmoothStep(SunRadius - 0.0012, SunRadius + 0.0012, a);
  if (inside <= 0) return {};
  // Limb darkening, and the low sun reddened towards its lower edge by the thicker air.
  double mu = std::sqrt(std::max(0.0, 1 - (a / SunRadius) * (a / SunRadius)));
  double lower = Clamp01((SunDir.Y - Normalized(dir).Y) / SunRadius * 0.5 + 0.5);
  Rgb colour = Mix(Linear(255, 222, 150), Linear(255, 176, 96), 0.6 * lower);
  return colour * (inside * 2.8 * (0.7 + 0.3 * mu));
}

Scene::Cloud Scene::Clouds(Vec dir, double footprintPx, bool reflection) const {
  Cloud result;
  if (dir.Y <= 1e-4) return result;
  double sunAngle = AngleToSun(dir);
  double elevation = Elevation(dir);
  Rgb ambient = SkyGradient(dir) * 0.30 + Linear(62, 42, 84) * 0.45;
  // Thin edges near the sun glow; thick cores and far-off parts keep the ambient colour.
  Rgb sunLit = Linear(255, 150, 90) *
               (0.30 + 1.2 * std::exp(-sunAngle / 0.22) + 2.5 * std::exp(-sunAngle / 0.06));
  // Pink light from below, strongest on the high clouds that still see the sun.
  Rgb underside = Linear(235, 120, 150) * (0.10 + 0.16 * SmoothStep(0.05, 0.35, elevation));
  int octaves = reflection ? 5 : 10;

  struct Layer {
    const GradientNoise* Noise;
    double Height, ScaleX, ScaleZ, OffsetX, Coverage, Softness, Opacity;
    double ClearBelow;  // ray height (tangent) under which the layer thins out
  };
  const Layer layers[] = {
      // High wisps, stretched along the horizon.
      {&WispNoise, 3.2, 0.30, 1.10, 3.7, 0.15, 0.50, 0.50, 0.12},
      // The main deck of soft heaps.
      {&CloudNoise, 1.0, 1.45, 2.50, -1.3, 0.02, 0.30, 0.96, 0.10},
      // Low streaks lying along the horizon.
      {&StreakNoise, 0.22, 0.55, 3.0, 0.4, 0.12, 0.55, 0.80, 0.0},
  };
  for (const Layer& layer : layers) {
    double t = layer.Height / dir.Y;  // distance to the layer along the ray, per unit Z
    double u = t * dir.X * layer.ScaleX + layer.OffsetX;
    double v = t * layer.ScaleZ;
    // Noise units per screen pixel, across and up the screen.
    double across = t / Focal * layer.ScaleX;
    double up = t * t / (layer.Height * Focal) * layer.ScaleZ;
    // Rays climb the layer steeply near the horizon, so the upward spacing rules there;
    // octaves finer than it would alias into hairline streaks.
    double footprint = std::max(across, 0.8 * up) * footprintPx;
    FractalSample n = Fractal(*layer.Noise, u, v, octaves, footprint);
    // A long swell in the layer, faded like an octave once it is finer than a pixel.
    double swellCycles = std::hypot(0.45 * up, 1.7 * across) * footprintPx / 6.2831853;
    double swell = 0.35 * (1 - SmoothStep(0.2, 0.45, swellCycles));
    double wave = swell * std::sin(0.45 * v + 1.7 * u);
    double shape = n.Value + wave;
    double density = SmoothStep(layer.Coverage, layer.Coverage + layer.Softness, shape);
    // Fade out the far distance into haze.
    double haze = std::exp(-t / 40.0);
    double opacity = density * layer.Opacity * haze;
    if (layer.ClearBelow > 0) opacity *= SmoothStep(0.0, layer.ClearBelow, dir.Y);
    if (opacity <= 0) continue;
    // The sun sits beyond the far edge of every cloud (+v): edges where the cloud thins
    // towards it catch a rim of light, thick cores stay dark. Only the broad forms' slope
    // counts; the fine octaves would streak the light.
    FractalSample broad = Fractal(*layer.Noise, u, v, 3, footprint);
    double towardSun = -(broad.Dy + swell * 0.45 * std::cos(0.45 * v + 1.7 * u));
    double rim = Clamp01(towardSun * 0.35) * (1 - 0.6 * density);
    double through = std::exp(-2.6 * density);
    Rgb colour = ambient * (0.55 + 0.45 * through) + sunLit * (through + 0.9 * rim) +
                 underside * (0.35 + 0.65 * (1 - through));
    colour = Mix(SkyGradient(dir), colour, 0.25 + 0.75 * haze);
    result.Colour = result.Colour * (1 - opacity) + colour * opacity;
    result.Opacity = result.Opacity + opacity * (1 - result.Opacity);
  }
  return result;
}

Rgb Scene::Sky(Vec dir, double footprintPx, bool reflection) const {
  Rgb colour = SkyGradient(dir) + SunGlow(dir);
  if (!reflection) colour = colour + SunDisc(dir);
  Cloud cloud = Clouds(dir, footprintPx, reflection);
  if (!reflection) {
    // The disc outshines the thin clouds in front of it, so it shows round and whole.
    double clear = 0.9 * (1 - SmoothStep(SunRadius, SunRadius + 0.004, AngleToSun(dir)));
    cloud.Colour = cloud.Colour * (1 - clear);
    cloud.Opacity *= 1 - clear;
  }
  return colour * (1 - cloud.Opacity) + cloud.Colour;
}

// The islands reach into the middle from both sides, so that the narrowest cut still
// shows a piece of each.
double Scene::NearRidge(double across) const {
  double envelope = 1 - SmoothStep(-0.40, -0.005, across);
  double base = (34 * envelope * envelope + 4 * envelope) / 520;
  FractalSample n = Fractal(RidgeNoise, across * 10, 0.5, 9, 10 * OnePixel);
  return std::max(0.0, base * (1 + 0.32 * n.Value) - 3.0 / 520);
}

double Scene::FarRidge(double across) const {
  double envelope = SmoothStep(0.115, 0.31, across);
  FractalSample n = Fractal(RidgeNoise, across * 15.3 + 40, 7.5, 9, 15.3 * OnePixel);
  return std::max(0.0, envelope * (13 + 5 * n.Value) / 520 - 2.0 / 520);
}

bool Scene::Hills(Vec dir, Rgb& colour, bool reflection) const {
  if (dir.Z <= 0) return false;
  double across = dir.X / dir.Z;
  double above = dir.Y / dir.Z;
  if (above < -0.5 * OnePixel) return false;
  Rgb haze = SkyGradient({dir.X, 0.0, 1.0});
  double nearTop = NearRidge(across);
  if (above < nearTop) {
    double depth = Clamp01(above / std::max(nearTop, 1.0 / 520));
    colour = Mix(Mix(Linear(42, 32, 70), haze, 0.30), Linear(28, 22, 50), 0.6 * depth);
    // Broken ground: gullies and scrub, as faint patches of light and dark.
    FractalSample ground =
        Fractal(RidgeNoise, across * 74.3 + 50, above * 148.6 - 4, 6, 74.3 * OnePixel);
    colour = colour * (1 + 0.10 * ground.Value);
    // Slopes that turn towards the sun keep a warm rim along the skyline.
    constexpr double Step = 1.0 / 520;
    double slope = (NearRidge(across + Step) - NearRidge(across - Step)) / (2 * Step);
    double rim = std::exp(-(nearTop - above) * 260) * Clamp01(-slope * 0.8);
    colour = colour + Linear(255, 150, 90) * (0.10 * rim);
    if (reflection) colour = colour * 0.8;
    return true;
  }
  double farTop = FarRidge(across);
  if (above < farTop) {
    double depth = Clamp01(above / std::max(farTop, 1.0 / 520));
    colour = Mix(Mix(Linear(92, 62, 100), haze, 0.45), Linear(76, 54, 92), 0.5 * depth);
    if (reflection) colour = colour * 0.85;
    return true;
  }
  return false;
}

Rgb Scene::Sea(double sx, double sy) const {
  constexpr double CameraHeight = 1.0;
  constexpr double WaveX = 0.55, WaveZ = 1.5, WaveAmp = 0.055;
  double depression = (sy - HorizonY) / Focal;
  double t = CameraHeight / depression;
  double u = (sx - CentreX) / Focal * t * WaveX;
  double v = t * WaveZ;
  double across = t / Focal * WaveX;
  double up = t * t / (CameraHeight * Focal) * WaveZ;
  double footprint = std::sqrt(across * up);
  FractalSample waves = Fractal(WaveNoise, u, v, 12, footprint, 0.46);
  // Surface slopes along X and Z in world units.
  double slopeX = WaveAmp * WaveX * waves.Dx;
  double slopeZ = WaveAmp * WaveZ * waves.Dy;
  double unresolved = WaveAmp * WaveAmp * WaveZ * WaveX * waves.UnresolvedSlopeVariance;
  Vec normal = Normalized({-slopeX, 1, -slopeZ});

  Vec view = Normalized({(sx - CentreX) / Focal, -depression, 1});
  Vec reflected = view + normal * (-2 * Dot(view, normal));
  Vec toEye = view * -1;
  double cosView = std::max(0.02, Dot(normal, toEye));
  double fresnel = 0.02 + 0.98 * std::pow(1 - cosView, 5);

  // A ray that would run into the back of the next wave sees the low sky there instead;
  // only close to the horizon, where every ray grazes, does it still find the hills.
  bool grazing = reflected.Y < 0.004;
  if (grazing) reflected.Y = 0.004;
  Rgb mirrored;
  bool mirrorsHills = (!grazing || depression < 0.012) && Hills(reflected, mirrored, true);
  if (!mirrorsHills) mirrored = Sky(reflected, 1.0, true);
  Rgb water = Linear(12, 30, 44) * 0.6 + SkyGradient({0, 0.3, 1}) * 0.06;
  Rgb colour = water * (1 - fresnel) + mirrored * fresnel;

  // Glitter: a Beckmann lobe around the sun's mirror direction, widened by the wave
  // detail too fine to resolve so the path stays continuous towards the horizon.
  Vec half = Normalized(SunDir + toEye);
  double cosHalf = std::max(1e-3, Dot(half, normal));
  double m2 = 0.0006 + 2 * unresolved;
  double tan2 = (1 - cosHalf * cosHalf) / (cosHalf * cosHalf);
  double lobe = std::exp(-tan2 / m2) / (3.14159265 * m2 * cosHalf * cosHalf * cosHalf * cosHalf);
  double fresnelSun = 0.02 + 0.98 * std::pow(1 - std::max(0.0, Dot(half, toEye)), 5);
  double sunEnergy = 0.020;
  colour = colour + Linear(255, 200, 140) * (sunEnergy * lobe * fresnelSun / (4 * cosView));

  // Far water melts into the haze at the horizon; under the hills less, as the hills
  // themselves stand in that haze already.
  double haze = (1 - std::exp(-t / 90.0)) * (mirrorsHills ? 0.2 : 0.5);
  return Mix(colour, SkyGradient({view.X, 0, 1}) * 0.9, haze);
}

Rgb Scene::Pixel(double sx, double sy) const {
  Vec dir = ScreenRay(sx, sy);
  if (sy >= HorizonY) return Sea(sx, sy);
  Rgb hills;
  if (Hills(dir, hills, false)) return hills;
  return Sky(dir, 1.0, false);
}

// Filmic shoulder: linear up to 0.75, then easing towards 1 so the sun saturates softly.
double Shoulder(double c) {
  constexpr double Knee = 0.75;
  if (c <= Knee) return c;
  return Knee + (1 - Knee) * (1 - std::exp(-(c - Knee) / (1 - Knee)));
}

}  // namespace

Picture RenderSeascape() {
  Scene scene;
  Picture picture(BackgroundWidth, BackgroundHeight, 3);
  GrainRandom grain(0x9a17f11du);
  // Two samples on a diagonal: the noise is filtered to the pixel already, so only the
  // hard edges (the sun, the skylines) need them, and the picture is large.
  constexpr double Offsets[2][2] = {{-0.25, -0.25}, {0.25, 0.25}};
  for (int y = 0; y < BackgroundHeight; ++y) {
    for (int x = 0; x < BackgroundWidth; ++x) {
      Rgb sum;
      for (const auto& o : Offsets) sum = sum + scene.Pixel(x + 0.5 + o[0], y + 0.5 + o[1]);
      Rgb c = sum * 0.5;
      double dx = (x + 0.5) / Width - 0.5, dy = (y + 0.5) / Height - 0.5;
      double vignette = 1 - 0.32 * std::pow(dx * dx + dy * dy, 1.1);
      c = c * (1.05 * vignette);
      // Grain just strong enough to dither the gradients: finer grain only costs bytes.
      double luma = grain.Gaussish() * 0.7 / 255;
      uint8_t* p = picture.At(x, y);
      p[0] = ToByte(LinearToSrgb(Shoulder(c.R)) + luma + grain.Gaussish() * 0.25 / 255);
      p[1] = ToByte(LinearToSrgb(Shoulder(c.G)) + luma + grain.Gaussish() * 0.25 / 255);
      p[2] = ToByte(LinearToSrgb(Shoulder(c.B)) + luma + grain.Gaussish() * 0.25 / 255);
    }
  }
  return picture;
}

}  // namespace art
