#include "image/pixel_image.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

std::string SizeText(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

size_t StrideFor(int64_t width, int bitCount) {
  return static_cast<size_t>((width * (bitCount / 8) + 3) / 4 * 4);
}

void CheckBitCount(int bitCount) {
  if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
    throw PictureError("Unsupported pixel depth: " + std::to_string(bitCount) + " bits");
  }
}

uint8_t ToByte(float value) {
  return static_cast<uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

// A destination pixel's share of the source pixels along one axis.
struct Tap {
  int32_t Source;
  float Weight;
};

// Taps for destination cells [first, first + count) of a run of destLength cells over
// sourceLength source pixels: a box filter where the picture shrinks (every source pixel
// counts by its overlap), bicubic where it grows or keeps its size (exact when equal).
class AxisTaps {
 public:
  AxisTaps(int32_t sourceLength, int64_t destLength, int64_t first, int32_t count) {
    Start.reserve(static_cast<size_t>(count) + 1);
    const double scale = static_cast<double>(sourceLength) / static_cast<double>(destLength);
    for (int64_t cell = first; cell < first + count; ++cell) {
      Start.push_back(static_cast<uint32_t>(Taps.size()));
      if (destLength < sourceLength) {
        AddBox(cell * scale, (cell + 1) * scale, scale, sourceLength);
      } else {
        AddBicubic((cell + 0.5) * scale - 0.5, sourceLength);
      }
    }
    Start.push_back(static_cast<uint32_t>(Taps.size()));
  }
  std::span<const Tap> For(int32_t cell) const {
    return std::span<const Tap>(Taps).subspan(Start[cell], Start[cell + 1] - Start[cell]);
  }

 private:
  void AddBox(double low, double high, double scale, int32_t sourceLength) {
    const int32_t last = std::min<int32_t>(static_cast<int32_t>(std::ceil(high)), sourceLength);
    for (auto s = static_cast<int32_t>(std::floor(low)); s < last; ++s) {
      const double overlap = std::min(high, s + 1.0) - std::max(low, static_cast<double>(s));
      if (overlap > 0) Taps.push_back({s, static_cast<float>(overlap / scale)});
    }
  }
  // Catmull-Rom: sharper than linear, and exact on the source pixels themselves.
  static double Cubic(double distance) {
    const double d = std::abs(distance);
    if (d < 1) return (1.5 * d - 2.5) * d * d + 1;
    if (d < 2) return ((-0.5 * d + 2.5) * d - 4) * d + 2;
    return 0;
  }
  void AddBicubic(double position, int32_t sourceLength) {
    position = std::clamp(position, 0.0, static_cast<double>(sourceLength - 1));
    const auto base = static_cast<int32_t>(std::floor(position));
    for (int32_t s = base - 1; s <= base + 2; ++s) {
      const auto weight = static_cast<float>(Cubic(position - s));
      if (weight != 0) Taps.push_back({std::clamp(s, 0, sourceLength - 1), weight});
    }
  }

  std::vector<uint32_t> Start;
  std::vector<Tap> Taps;
};

// Transparent pixels count this much for colour, so that a fully transparent area keeps
// its own colours while next to opaque pixels it hardly counts.
constexpr float ColourWeightFloor = 0.01f;

// Source rows as floats blue, green, red, alpha, resampled horizontally; with WeightColour
// the colours are multiplied by their pixel's weight, alpha + floor. The last two rows are kept,
// since neighbouring destination rows share their edge rows.
class HorizontalRows {
 public:
  HorizontalRows(const PixelImage& source, const AxisTaps& taps, int32_t count, bool weightColour)
      : Source(source), Taps(taps), Count(count), WeightColour(weightColour) {
    Input.resize(static_cast<size_t>(source.Width()) * 4);
    for (auto& slot : Slots) slot.Values.resize(static_cast<size_t>(count) * 4);
  }

  const float* Get(int32_t y) {
    for (auto& slot : Slots) {
      if (slot.Row == y) return slot.Values.data();
    }
    Slot& slot = Slots[Slots[0].Row == LastRow ? 1 : 0];
    LoadInput(y);
    for (int32_t x = 0; x < Count; ++x) {
      float sum[4] = {0, 0, 0, 0};
      for (const Tap& tap : Taps.For(x)) {
        const float* pixel = &Input[static_cast<size_t>(tap.Source) * 4];
        for (int c = 0; c < 4; ++c) sum[c] += pixel[c] * tap.Weight;
      }
      std::copy(sum, sum + 4, &slot.Values[static_cast<size_t>(x) * 4]);
    }
    slot.Row = LastRow = y;
    return slot.Values.data();
  }

 private:
  struct Slot {
    int32_t Row = -1;
    std::vector<float> Values;
  };

  // One loop per depth: the depth's test stays out of the loop over the pixels.
  void LoadInput(int32_t y) {
    const uint8_t* row = Source.Row(y);
    const int32_t width = Source.Width();
    float* pixel = Input.data();
    switch (Source.BitCount()) {
      case 8:
        for (int32_t x = 0; x < width; ++x, pixel += 4)
          Store(Source.Palette[row[x]] | 0xFF000000u, pixel);
        break;
      case 24:
        for (int32_t x = 0; x < width; ++x, row += 3, pixel += 4) {
          const float weight = WeightColour ? 255.0f + ColourWeightFloor : 1.0f;
          for (int c = 0; c < 3; ++c) pixel[c] = static_cast<float>(row[c]) * weight;
          pixel[3] = 255.0f;
        }
        break;
      default:
        for (int32_t x = 0; x < width; ++x, row += 4, pixel += 4) {
          Store(uint32_t{row[0]} | uint32_t{row[1]} << 8 | uint32_t{row[2]} << 16 |
                    uint32_t{row[3]} << 24,
                pixel);
        }
    }
  }

  void Store(uint32_t bgra, float* pixel) const {
    const float alpha = static_cast<float>(bgra >> 24);
    const float weight = WeightColour ? alpha + ColourWeightFloor : 1.0f;
    for (int c = 0; c < 3; ++c) pixel[c] = static_cast<float>(bgra >> (8 * c) & 0xFF) * weight;
    pixel[3] = alpha;
  }

  const PixelImage& Source;
  const AxisTaps& Taps;
  int32_t Count;
  bool WeightColour;
  std::vector<float> Input;
  Slot Slots[2];
  int32_t LastRow = -1;
};

struct VisibleRange {
  int32_t First;  // in the image
  int32_t Count;
  int64_t Offset;  // of First within the destination run
};

VisibleRange Clip(int32_t start, int32_t length, int32_t limit) {
  const int64_t first = std::max<int64_t>(start, 0);
  const int64_t end = std::min<int64_t>(int64_t{start} + length, limit);
  if (length <= 0 || end <= first) return {0, 0, 0};
  return {static_cast<int32_t>(first), static_cast<int32_t>(end - first), first - start};
}

void WritePixels(const float* sums, uint8_t* target, int32_t count, int bitCount,
                 bool weightColour) {
  const int step = bitCount / 8;
  if (!weightColour) {
    for (int32_t x = 0; x < count; ++x, sums += 4, target += step) {
      for (int c = 0; c < 3; ++c) target[c] = ToByte(sums[c]);
      if (bitCount == 32) target[3] = 255;
    }
    return;
  }
  for (int32_t x = 0; x < count; ++x, sums += 4, target += step) {
    // The taps of a cell sum to 1, so the colour weights sum to alpha + floor (the cubic's
    // negative lobes can take alpha just below 0).
    const float divisor = std::max(sums[3], 0.0f) + ColourWeightFloor;
    for (int c = 0; c < 3; ++c) target[c] = ToByte(sums[c] / divisor);
    target[3] = ToByte(sums[3]);
  }
}

// Palette indices cannot be blended: each destination pixel takes its nearest source pixel.
void StretchIndices(const PixelImage& source, PixelImage& target, PixelRect dest,
                    VisibleRange columns, VisibleRange rows) {
  auto nearest = [](int64_t cell, int32_t length, int32_t sourceLength) {
    const auto s = static_cast<int64_t>((cell + 0.5) * sourceLength / length);
    return static_cast<int32_t>(std::min<int64_t>(s, sourceLength - 1));
  };
  for (int32_t y = 0; y < rows.Count; ++y) {
    const uint8_t* from = source.Row(nearest(rows.Offset + y, dest.Height, source.Height()));
    uint8_t* to = target.Row(rows.First + y) + columns.First;
    for (int32_t x = 0; x < columns.Count; ++x) {
      to[x] = from[nearest(columns.Offset + x, dest.Width, source.Width())];
    }
  }
}

}  // namespace

void CheckPictureSize(int64_t width, int64_t height, unsigned bytesPerPixel) {
  if (width <= 0 || height <= 0) {
    throw PictureError("The picture has no pixels (" + SizeText(width, height) + ")");
  }
  if (width > MaxPictureSide || height > MaxPictureSide) {
    throw PictureError("The picture is too large (" + SizeText(width, height) + ", at most " +
                       std::to_string(MaxPictureSide) + " a side)");
  }
  const uint64_t bytes = (uint64_t(width) * bytesPerPixel + 3) / 4 * 4 * uint64_t(height);
  if (bytes > MaxPictureBytes) {
    throw PictureError("The picture is too large (" + SizeText(width, height) + ", " +
                       std::to_string(bytes >> 20) + " MiB, at most " +
                       std::to_string(MaxPictureBytes >> 20) + " MiB)");
  }
}

void PixelImage::SetSize(int32_t width, int32_t height, int bitCount) {
  CheckBitCount(bitCount);
  if (width < 0 || height < 0) {
    throw PictureError("Invalid picture size (" + SizeText(width, height) + ")");
  }
  if (width > 0 && height > 0) CheckPictureSize(width, height, static_cast<unsigned>(bitCount / 8));
  std::vector<uint8_t> pixels;
  const size_t stride = StrideFor(width, bitCount);
  try {
    pixels.assign(stride * static_cast<size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    throw PictureError("Not enough memory for a picture of " + SizeText(width, height));
  }
  Pixels = std::move(pixels);
  W = width;
  H = height;
  Bits = bitCount;
  RowBytes = stride;
}

bool PixelImage::HasAlpha() const {
  if (Bits != 32) return false;
  for (int32_t y = 0; y < H; ++y) {
    const uint8_t* row = Row(y);
    for (int32_t x = 0; x < W; ++x) {
      if (row[x * 4 + 3] != 0) return true;
    }
  }
  return false;
}

void PixelImage::ConvertTo32() {
  if (Bits == 32) return;
  PixelImage converted;
  converted.SetSize(W, H, 32);
  converted.Palette = Palette;
  for (int32_t y = 0; y < H; ++y) {
    const uint8_t* from = Row(y);
    uint8_t* to = converted.Row(y);
    for (int32_t x = 0; x < W; ++x, to += 4) {
      if (Bits == 8) {
        const uint32_t colour = Palette[from[x]];
        to[0] = static_cast<uint8_t>(colour);
        to[1] = static_cast<uint8_t>(colour >> 8);
        to[2] = static_cast<uint8_t>(colour >> 16);
      } else {
        std::copy(from + x * 3, from + x * 3 + 3, to);
      }
      to[3] = 255;
    }
  }
  *this = std::move(converted);
}

void PixelImage::CopyAlphaFrom(const PixelImage& source) {
  if (Bits != 32 || source.W != W || source.H != H) return;
  if (source.Bits != 8 && source.Bits != 32) return;
  const int step = source.Bits / 8;
  const int offset = source.Bits == 32 ? 3 : 0;
  for (int32_t y = 0; y < H; ++y) {
    const uint8_t* from = source.Row(y) + offset;
    uint8_t* to = Row(y) + 3;
    for (int32_t x = 0; x < W; ++x) to[x * 4] = from[x * step];
  }
}

void PixelImage::StretchDraw(const PixelImage& source, PixelRect dest) {
  const VisibleRange columns = Clip(dest.X, dest.Width, W);
  const VisibleRange rows = Clip(dest.Y, dest.Height, H);
  if (source.Empty() || columns.Count == 0 || rows.Count == 0) return;
  if (Bits == 8) {
    if (source.Bits != 8) throw PictureError("Cannot draw a colour picture into an 8-bit image");
    StretchIndices(source, *this, dest, columns, rows);
    return;
  }
  const bool weightColour = Bits == 32 && source.Bits == 32;
  const AxisTaps across(source.W, dest.Width, columns.Offset, columns.Count);
  const AxisTaps down(source.H, dest.Height, rows.Offset, rows.Count);
  HorizontalRows resampled(source, across, columns.Count, weightColour);
  std::vector<float> sums(static_cast<size_t>(columns.Count) * 4);
  const size_t pixelOffset = static_cast<size_t>(columns.First) * (Bits / 8);
  for (int32_t y = 0; y < rows.Count; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    for (const Tap& tap : down.For(y)) {
      const float* values = resampled.Get(tap.Source);
      for (size_t i = 0; i < sums.size(); ++i) sums[i] += values[i] * tap.Weight;
    }
    WritePixels(sums.data(), Row(rows.First + y) + pixelOffset, columns.Count, Bits, weightColour);
  }
}

PixelImage OverBlack(PixelImage image) {
  if (!image.HasAlpha()) return image;
  PixelImage flat;
  flat.SetSize(image.Width(), image.Height(), 24);
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* from = image.Row(y);
    uint8_t* to = flat.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x, from += 4, to += 3) {
      for (int c = 0; c < 3; ++c) to[c] = static_cast<uint8_t>((from[c] * from[3] + 127) / 255);
    }
  }
  return flat;
}

PixelImage PngToPixelImage(const PngPicture& png) {
  if (png.Rgba.size() != uint64_t{png.Width} * png.Height * 4) {
    throw PictureError("The PNG picture's pixels do not match its size");
  }
  const bool alpha = png.HasAlphaChannel();
  PixelImage image;
  image.SetSize(static_cast<int32_t>(png.Width), static_cast<int32_t>(png.Height), alpha ? 32 : 24);
  const int step = alpha ? 4 : 3;
  const uint8_t* from = png.Rgba.data();
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint8_t* to = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x, from += 4, to += step) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      if (alpha) to[3] = from[3];
    }
  }
  return image;
}
