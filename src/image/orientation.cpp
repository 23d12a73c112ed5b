// Exif orientation: cameras store a portrait photograph as it left the sensor (landscape)
// and record how to turn it. The tag is read from hostile data, so every offset is checked
// and anything odd reads as "as stored".
#include <cstring>

#include "image/pixel_image.h"

namespace {

constexpr uint16_t OrientationTag = 0x0112;
constexpr uint16_t ShortType = 3;
constexpr size_t IfdEntryBytes = 12;

class TiffReader {
 public:
  TiffReader(std::span<const uint8_t> data, bool bigEndian) : Data(data), BigEndian(bigEndian) {}
  bool Has(uint64_t at, uint64_t count) const {
    return at <= Data.size() && count <= Data.size() - at;
  }
  uint16_t U16(size_t at) const {
    const uint16_t a = Data[at], b = Data[at + 1];
    return BigEndian ? static_cast<uint16_t>(a << 8 | b) : static_cast<uint16_t>(b << 8 | a);
  }
  uint32_t U32(size_t at) const {
    const uint32_t high = U16(at), low = U16(at + 2);
    return BigEndian ? high << 16 | low : low << 16 | high;
  }

 private:
  std::span<const uint8_t> Data;
  bool BigEndian;
};

// Where pixel (x, y) of the upright picture lies in the stored one (width x height).
struct SourceOf {
  int Orientation;
  int32_t Width, Height;
  std::pair<int32_t, int32_t> operator()(int32_t x, int32_t y) const {
    switch (Orientation) {
      case 2:
        return {Width - 1 - x, y};
      case 3:
        return {Width - 1 - x, Height - 1 - y};
      case 4:
        return {x, Height - 1 - y};
      case 5:
        return {y, x};
      case 6:
        return {y, Height - 1 - x};
      case 7:
        return {Width - 1 - y, Height - 1 - x};
      case 8:
        return {Width - 1 - y, x};
      default:
        return {x, y};
    }
  }
};

}  // namespace

int ExifOrientation(std::span<const uint8_t> exif) {
  // JPEG's APP1 and some WebP writers keep the "Exif\0\0" header before the TIFF data.
  if (exif.size() >= 6 && std::memcmp(exif.data(), "Exif\0\0", 6) == 0) exif = exif.subspan(6);
  if (exif.size() < 8) return 1;
  const bool bigEndian = exif[0] == 'M' && exif[1] == 'M';
  if (!bigEndian && !(exif[0] == 'I' && exif[1] == 'I')) return 1;
  const TiffReader in(exif, bigEndian);
  if (in.U16(2) != 42) return 1;
  const uint32_t ifd = in.U32(4);
  if (!in.Has(ifd, 2)) return 1;
  const uint16_t count = in.U16(ifd);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t entry = uint64_t{ifd} + 2 + uint64_t{i} * IfdEntryBytes;
    if (!in.Has(entry, IfdEntryBytes)) return 1;
    if (in.U16(entry) != OrientationTag) continue;
    if (in.U16(entry + 2) != ShortType || in.U32(entry + 4) != 1) return 1;
    const uint16_t value = in.U16(entry + 8);
    return value >= 1 && value <= 8 ? value : 1;
  }
  return 1;
}

bool OrientationSwapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

PixelImage Oriented(PixelImage stored, int orientation) {
  if (orientation < 2 || orientation > 8 || stored.Empty()) return stored;
  const bool swap = OrientationSwapsSides(orientation);
  PixelImage upright;
  upright.SetSize(swap ? stored.Height() : stored.Width(), swap ? stored.Width() : stored.Height(),
                  stored.BitCount());
  upright.Palette = stored.Palette;
  const size_t bytes = static_cast<size_t>(stored.BitCount() / 8);
  const SourceOf source{orientation, stored.Width(), stored.Height()};
  for (int32_t y = 0; y < upright.Height(); ++y) {
    uint8_t* to = upright.Row(y);
    for (int32_t x = 0; x < upright.Width(); ++x, to += bytes) {
      const auto [sx, sy] = source(x, y);
      std::memcpy(to, stored.Row(sy) + static_cast<size_t>(sx) * bytes, bytes);
    }
  }
  return upright;
}
