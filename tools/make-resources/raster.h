// Pixel buffers and the small colour arithmetic the picture renderers share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace art {

// 8-bit pixels, rows top-down, Channels interleaved samples per pixel:
// 2 grey+alpha, 3 RGB, 4 RGBA (alpha not premultiplied).
struct Picture {
  int Width = 0;
  int Height = 0;
  int Channels = 0;
  std::vector<uint8_t> Pixels;

  Picture() = default;
  Picture(int width, int height, int channels)
      : Width(width),
        Height(height),
        Channels(channels),
        Pixels(static_cast<size_t>(width) * height * channels) {}
  uint8_t* At(int x, int y) {
    return Pixels.data() + (static_cast<size_t>(y) * Width + x) * Channels;
  }
  const uint8_t* At(int x, int y) const {
    return Pixels.data() + (static_cast<size_t>(y) * Width + x) * Channels;
  }
};

struct Rgb {
  double R = 0, G = 0, B = 0;
};
inline Rgb operator+(Rgb a, Rgb b) {
  return {a.R + b.R, a.G + b.G, a.B + b.B};
}
inline Rgb operator-(Rgb a, Rgb b) {
  return {a.R - b.R, a.G - b.G, a.B - b.B};
}
inline Rgb operator*(Rgb a, double k) {
  return {a.R * k, a.G * k, a.B * k};
}
inline Rgb operator*(Rgb a, Rgb b) {
  return {a.R * b.R, a.G * b.G, a.B * b.B};
}
inline Rgb Mix(Rgb a, Rgb b, double t) {
  return a + (b - a) * t;
}

inline double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}
inline double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}
inline double SmoothStep(double edge0, double edge1, double x) {
  double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}
inline uint8_t ToByte(double unit) {
  return static_cast<uint8_t>(std::lround(Clamp01(unit) * 255.0));
}

inline double SrgbToLinear(double c) {
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
inline double LinearToSrgb(double c) {
  c = Clamp01(c);
  return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}
// A colour given as sRGB bytes, in linear light.
inline Rgb Linear(int r, int g, int b) {
  return {SrgbToLinear(r / 255.0), SrgbToLinear(g / 255.0), SrgbToLinear(b / 255.0)};
}

// Averages coverage(x, y) over an n x n grid inside the pixel centred at (px, py).
template <typename Shade>
double Supersample(double px, double py, int n, Shade&& shade) {
  double sum = 0;
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) sum += shade(px + (i + 0.5) / n - 0.5, py + (j + 0.5) / n - 0.5);
  }
  return sum / (n * n);
}

}  // namespace art
