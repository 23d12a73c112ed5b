#include "icon.h"

#include <cmath>
#include <stdexcept>

namespace art {
namespace {

struct Premultiplied {
  double R = 0, G = 0, B = 0, A = 0;
};

Premultiplied Over(Premultiplied top, Premultiplied bottom) {
  double k = 1 - top.A;
  return {top.R + bottom.R * k, top.G + bottom.G * k, top.B + bottom.B * k, top.A + bottom.A * k};
}

Premultiplied Paint(Rgb colour, double alpha) {
  return {colour.R * alpha, colour.G * alpha, colour.B * alpha, alpha};
}

// One sample of the bubble in a unit disc: x, y in -1..1 (y down).
Premultiplied BubbleSample(double x, double y, double edgeSoftness) {
  double r = std::hypot(x, y);
  double coverage = 1 - SmoothStep(1 - edgeSoftness, 1, r);
  if (coverage <= 0) return {};
  // An icon must read at 16 pixels, so the body is far more opaque than the real one.
  double fresnel = std::pow(Clamp01(r), 5);
  Rgb deep{0.05, 0.32, 0.72}, rim{0.10, 0.55, 0.95};
  Premultiplied body = Paint(Mix(deep, rim, fresnel), (0.38 + 0.55 * fresnel) * coverage);
  // A darker outline keeps the disc apart from light desktops.
  double outline = SmoothStep(1 - 2.2 * edgeSoftness, 1 - edgeSoftness, r) * coverage;
  body = Over(Paint({0.02, 0.16, 0.42}, 0.75 * outline), body);
  // The crescent of light at the upper left, and the small glint opposite it.
  double shifted = std::hypot(x - 0.22, y - 0.22);
  double crescent = (1 - SmoothStep(0.80, 0.90, r)) * SmoothStep(0.95, 1.08, shifted) *
                    SmoothStep(-0.1, 0.6, -(x + y) / std::max(r, 1e-6));
  double glint = std::exp(-(std::pow((x - 0.38) / 0.16, 2) + std::pow((y - 0.42) / 0.12, 2)));
  double window = std::exp(-(std::pow((x + 0.36) / 0.16, 2) + std::pow((y + 0.38) / 0.13, 2)));
  Premultiplied light = Paint({1, 1, 1}, Clamp01(0.95 * crescent + 0.55 * glint + 0.85 * window));
  return Over(light, body);
}

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xffff);
  PutLe16(out, v >> 16);
}

// BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask (1 = transparent), each mask
// row padded to 32 bits. The header's height counts both halves, as icons require.
std::vector<uint8_t> IconBitmap(const Picture& picture) {
  const auto w = static_cast<uint32_t>(picture.Width), h = static_cast<uint32_t>(picture.Height);
  const uint32_t maskStride = (w + 31) / 32 * 4;
  std::vector<uint8_t> out;
  PutLe32(out, 40);
  PutLe32(out, w);
  PutLe32(out, 2 * h);
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, 0);
  PutLe32(out, w * h * 4 + maskStride * h);
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);
  for (int y = picture.Height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.Width; ++x) {
      const uint8_t* p = picture.At(x, y);
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  for (int y = picture.Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride, 0);
    for (int x = 0; x < picture.Width; ++x) {
      if (picture.At(x, y)[3] == 0)
        row[static_cast<size_t>(x) / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

Picture RenderIcon(int side) {
  Picture picture(side, side, 4);
  const double radius = side / 2.0 - 0.5;
  const double centre = side / 2.0;
  constexpr int Samples = 8;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      Premultiplied sum;
      for (int j = 0; j < Samples; ++j) {
        for (int i = 0; i < Samples; ++i) {
          double sx = x + (i + 0.5) / Samples, sy = y + (j + 0.5) / Samples;
          Premultiplied s =
              BubbleSample((sx - centre) / radius, (sy - centre) / radius, 1.2 / radius);
          sum = {sum.R + s.R, sum.G + s.G, sum.B + s.B, sum.A + s.A};
        }
      }
      double n = Samples * Samples;
      double a = sum.A / n;
      uint8_t* p = picture.At(x, y);
      p[3] = ToByte(a);
      for (int c = 0; c < 3; ++c) {
        double premultiplied = (c == 0 ? sum.R : c == 1 ? sum.G : sum.B) / n;
        p[c] = p[3] == 0 ? 0 : ToByte(premultiplied / a);
      }
    }
  }
  return picture;
}

std::vector<uint8_t> EncodeIco(const std::vector<Picture>& pictures) {
  std::vector<std::vector<uint8_t>> bitmaps;
  for (const Picture& picture : pictures) {
    if (picture.Channels != 4 || picture.Width < 1 || picture.Width > 255 || picture.Height < 1 ||
        picture.Height > 255) {
      throw std::invalid_argument("icon pictures must be RGBA and 1..255 pixels square");
    }
    bitmaps.push_back(IconBitmap(picture));
  }
  std::vector<uint8_t> out;
  PutLe16(out, 0);
  PutLe16(out, 1);  // icon, not cursor
  PutLe16(out, static_cast<uint32_t>(pictures.size()));
  auto offset = static_cast<uint32_t>(6 + 16 * pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    out.push_back(static_cast<uint8_t>(pictures[i].Width));
    out.push_back(static_cast<uint8_t>(pictures[i].Height));
    out.push_back(0);  // no palette
    out.push_back(0);
    PutLe16(out, 1);
    PutLe16(out, 32);
    PutLe32(out, static_cast<uint32_t>(bitmaps[i].size()));
    PutLe32(out, offset);
    offset += static_cast<uint32_t>(bitmaps[i].size());
  }
  for (const auto& bitmap : bitmaps) out.insert(out.end(), bitmap.begin(), bitmap.end());
  return out;
}

}  // namespace art
