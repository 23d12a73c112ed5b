#include "compose.h"

#include <cmath>

#include "image_files.h"

namespace art {
namespace {

struct Colour4 {
  double R = 0, G = 0, B = 0, A = 0;
};

// Bilinear sample of an 8-bit picture at continuous pixel coordinates (pixel centres at
// +0.5), clamped at the borders.
Colour4 SampleBilinear(const Picture& p, double x, double y) {
  double fx = x - 0.5, fy = y - 0.5;
  int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  double tx = fx - x0, ty = fy - y0;
  auto texel = [&](int xi, int yi) {
    xi = std::clamp(xi, 0, p.Width - 1);
    yi = std::clamp(yi, 0, p.Height - 1);
    const uint8_t* q = p.At(xi, yi);
    return Colour4{q[0] / 255.0, q[1] / 255.0, q[2] / 255.0, p.Channels == 4 ? q[3] / 255.0 : 1.0};
  };
  Colour4 a = texel(x0, y0), b = texel(x0 + 1, y0), c = texel(x0, y0 + 1),
          d = texel(x0 + 1, y0 + 1);
  auto lerp2 = [&](double va, double vb, double vc, double vd) {
    return Mix(Mix(va, vb, tx), Mix(vc, vd, tx), ty);
  };
  return {lerp2(a.R, b.R, c.R, d.R), lerp2(a.G, b.G, c.G, d.G), lerp2(a.B, b.B, c.B, d.B),
          lerp2(a.A, b.A, c.A, d.A)};
}

// Draws `layer` stretched over the square (left, top, side) with each texel's colour
// multiplied by `tint`, blended source over into the opaque canvas.
void DrawLayer(Picture& canvas, const Picture& layer, double left, double top, double side,
               Rgb tint) {
  int x0 = std::max(0, static_cast<int>(std::floor(left)));
  int y0 = std::max(0, static_cast<int>(std::floor(top)));
  int x1 = std::min(canvas.Width, static_cast<int>(std::ceil(left + side)));
  int y1 = std::min(canvas.Height, static_cast<int>(std::ceil(top + side)));
  double scale = layer.Width / side;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      Colour4 s = SampleBilinear(layer, (x + 0.5 - left) * scale, (y + 0.5 - top) * scale);
      uint8_t* p = canvas.At(x, y);
      p[0] = ToByte(s.R * tint.R * s.A + p[0] / 255.0 * (1 - s.A));
      p[1] = ToByte(s.G * tint.G * s.A + p[1] / 255.0 * (1 - s.A));
      p[2] = ToByte(s.B * tint.B * s.A + p[2] / 255.0 * (1 - s.A));
    }
  }
}

}  // namespace

BubbleLayers ReadLayers(const std::string& resourceDir) {
  return {ReadJpegRgb(resourceDir + "/BACK.jpg"), ReadPngRgba(resourceDir + "/BALL.png"),
          ReadPngRgba(resourceDir + "/BALL1.png"), ReadPngRgba(resourceDir + "/BALL2.png")};
}

Picture ComposePreview(const BubbleLayers& layers, int width, int height) {
  Picture canvas(width, height, 4);
  const Picture& back = layers.Background;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Colour4 s =
          SampleBilinear(back, (x + 0.5) * back.Width / width, (y + 0.5) * back.Height / height);
      uint8_t* p = canvas.At(x, y);
      p[0] = ToByte(s.R);
      p[1] = ToByte(s.G);
      p[2] = ToByte(s.B);
      p[3] = 255;
    }
  }
  // The whole 256-pixel layer maps onto 182 pixels, so the rim (radius ~108) spans a
  // bubble of about 156 pixels, as at the default size.
  constexpr double Side = 182;
  struct Placed {
    double X, Y;
    int R, G, B;
  };
  const Placed bubbles[] = {
      {110, 105, 255, 96, 96},   {300, 140, 90, 200, 255},  {505, 95, 255, 220, 80},
      {690, 150, 140, 255, 140}, {170, 300, 200, 120, 255}, {390, 330, 255, 160, 60},
      {600, 310, 80, 255, 230},  {90, 500, 255, 120, 200},  {270, 480, 255, 255, 255},
      {470, 520, 120, 140, 255}, {660, 470, 255, 80, 40},   {740, 560, 160, 255, 60},
  };
  for (const Placed& b : bubbles) {
    double left = b.X - Side / 2, top = b.Y - Side / 2;
    DrawLayer(canvas, layers.Shadow, left + 20, top + 30, Side, {1, 1, 1});
    DrawLayer(canvas, layers.Body, left, top, Side, {b.R / 255.0, b.G / 255.0, b.B / 255.0});
    DrawLayer(canvas, layers.Highlights, left, top, Side, {1, 1, 1});
  }
  return canvas;
}

}  // namespace art
