// Device-independent bitmap files, read and written with our own little-endian fields so
// that the portable core needs no Windows header.
#include <bit>
#include <cstring>
#include <string>

#include "image/pixel_image.h"

namespace {

constexpr size_t FileHeaderBytes = 14;
constexpr size_t InfoHeaderBytes = 40;
constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiRle8 = 1;
constexpr uint32_t BiRle4 = 2;
constexpr uint32_t BiBitfields = 3;
constexpr uint32_t BiAlphaBitfields = 6;
// Masks sit at the same file offset whether they follow a 40-byte header or are fields
// of a V4/V5 header.
constexpr size_t MasksOffset = FileHeaderBytes + InfoHeaderBytes;
constexpr int32_t PixelsPerMetre = 2835;  // 72 dots per inch

[[noreturn]] void Fail(const std::string& why) {
  throw PictureError("Cannot decode the BMP picture: " + why);
}

class LittleEndianReader {
 public:
  explicit LittleEndianReader(std::span<const uint8_t> data) : Data(data) {}

  uint16_t U16(size_t at) const {
    Require(at, 2);
    return static_cast<uint16_t>(Data[at] | Data[at + 1] << 8);
  }
  uint32_t U32(size_t at) const {
    Require(at, 4);
    return uint32_t{Data[at]} | uint32_t{Data[at + 1]} << 8 | uint32_t{Data[at + 2]} << 16 |
           uint32_t{Data[at + 3]} << 24;
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  const uint8_t* Bytes(uint64_t at, uint64_t count) const {
    if (at > Data.size() || count > Data.size() - at) Fail("the file is truncated");
    return Data.data() + at;
  }

 private:
  void Require(size_t at, size_t count) const { Bytes(at, count); }

  std::span<const uint8_t> Data;
};

class LittleEndianWriter {
 public:
  void U16(uint32_t value) {
    Out.push_back(static_cast<uint8_t>(value));
    Out.push_back(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    U16(value & 0xFFFF);
    U16(value >> 16);
  }
  std::vector<uint8_t> Out;
};

// One colour channel of a BI_BITFIELDS pixel, scaled to 8 bits.
struct MaskChannel {
  explicit MaskChannel(uint32_t mask)
      : Mask(mask), Shift(mask ? std::countr_zero(mask) : 0), Bits(std::popcount(mask)) {
    if (mask && std::countr_one(mask >> Shift) != Bits) Fail("a colour mask is not contiguous");
  }
  uint8_t Extract(uint32_t pixel) const {
    if (Bits == 0) return 0;
    const uint32_t value = (pixel & Mask) >> Shift;
    if (Bits >= 8) return static_cast<uint8_t>(value >> (Bits - 8));
    return static_cast<uint8_t>(value * 255 / ((1u << Bits) - 1));
  }
  uint32_t Mask;
  int Shift;
  int Bits;
};

struct BmpLayout {
  int32_t Width = 0;
  int32_t Height = 0;  // always positive here
  bool TopDown = false;
  int BitCount = 0;
  uint32_t Compression = BiRgb;
  uint32_t HeaderSize = 0;
  uint64_t PixelOffset = 0;
  uint64_t FileRowBytes = 0;
};

BmpLayout ReadLayout(const LittleEndianReader& in) {
  if (in.U16(0) != 0x4D42) Fail("not a BMP file");
  BmpLayout layout;
  layout.PixelOffset = in.U32(10);
  layout.HeaderSize = in.U32(14);
  if (layout.HeaderSize == 12) Fail("OS/2 bitmap headers are not supported");
  if (layout.HeaderSize < InfoHeaderBytes || layout.HeaderSize > 1024) {
    Fail("unknown header size " + std::to_string(layout.HeaderSize));
  }
  in.Bytes(FileHeaderBytes, layout.HeaderSize);
  layout.Width = in.I32(18);
  const int64_t height = in.I32(22);
  layout.BitCount = in.U16(28);
  layout.Compression = in.U32(30);
  layout.TopDown = height < 0;
  const int64_t rows = height < 0 ? -height : height;
  if (layout.Width <= 0 || rows == 0) {
    Fail("invalid size " + std::to_string(layout.Width) + " x " + std::to_string(height));
  }
  const int bpp = layout.BitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) {
    Fail(std::to_string(bpp) + " bits per pixel are not supported");
  }
  if (layout.Compression == BiRle8 || layout.Compression == BiRle4) {
    Fail("RLE-compressed bitmaps are not supported");
  }
  const bool bitfields =
      layout.Compression == BiBitfields || layout.Compression == BiAlphaBitfields;
  if (layout.Compression != BiRgb && !(bitfields && bpp == 32)) {
    Fail("compression " + std::to_string(layout.Compression) + " is not supported at " +
         std::to_string(bpp) + " bits per pixel");
  }
  CheckPictureSize(layout.Width, rows, bpp <= 8 ? 1 : bpp / 8);
  layout.Height = static_cast<int32_t>(rows);
  layout.FileRowBytes = (uint64_t{static_cast<uint32_t>(layout.Width)} * bpp + 31) / 32 * 4;
  in.Bytes(layout.PixelOffset, layout.FileRowBytes * layout.Height);
  return layout;
}

void ReadPalette(const LittleEndianReader& in, const BmpLayout& layout, PixelImage& image) {
  image.Palette.fill(0xFF000000);
  const uint32_t maxColours = 1u << layout.BitCount;
  uint32_t colours = in.U32(46);
  if (colours == 0 || colours > maxColours) colours = maxColours;
  const uint8_t* entries = in.Bytes(FileHeaderBytes + layout.HeaderSize, uint64_t{colours} * 4);
  for (uint32_t i = 0; i < colours; ++i, entries += 4) {
    image.Palette[i] =
        0xFF000000u | uint32_t{entries[2]} << 16 | uint32_t{entries[1]} << 8 | entries[0];
  }
}

void UnpackIndices(const uint8_t* source, uint8_t* target, int32_t width, int bitCount) {
  if (bitCount == 8) {
    std::memcpy(target, source, static_cast<size_t>(width));
    return;
  }
  const int perByte = 8 / bitCount;
  const unsigned valueMask = (1u << bitCount) - 1;
  for (int32_t x = 0; x < width; ++x) {
    const int shift = 8 - bitCount * (x % perByte + 1);
    target[x] = static_cast<uint8_t>(source[x / perByte] >> shift & valueMask);
  }
}

void ConvertBitfieldsRow(const uint8_t* source, uint8_t* target, int32_t width,
                         const MaskChannel (&channels)[4]) {
  for (int32_t x = 0; x < width; ++x, source += 4, target += 4) {
    const uint32_t pixel = uint32_t{source[0]} | uint32_t{source[1]} << 8 |
                           uint32_t{source[2]} << 16 | uint32_t{source[3]} << 24;
    target[0] = channels[2].Extract(pixel);
    target[1] = channels[1].Extract(pixel);
    target[2] = channels[0].Extract(pixel);
    target[3] = channels[3].Extract(pixel);
  }
}

}  // namespace

PixelImage DecodeBmp(std::span<const uint8_t> data) {
  const LittleEndianReader in(data);
  const BmpLayout layout = ReadLayout(in);
  const bool indexed = layout.BitCount <= 8;
  PixelImage image;
  image.SetSize(layout.Width, layout.Height, indexed ? 8 : layout.BitCount);
  if (indexed) ReadPalette(in, layout, image);

  const bool bitfields = layout.Compression != BiRgb;
  const bool hasAlphaMask = layout.HeaderSize >= 56 || layout.Compression == BiAlphaBitfields;
  const MaskChannel channels[4] = {
      MaskChannel(bitfields ? in.U32(MasksOffset) : 0),
      MaskChannel(bitfields ? in.U32(MasksOffset + 4) : 0),
      MaskChannel(bitfields ? in.U32(MasksOffset + 8) : 0),
      MaskChannel(bitfields && hasAlphaMask ? in.U32(MasksOffset + 12) : 0)};

  const size_t pixelBytes = static_cast<size_t>(layout.Width) * (layout.BitCount / 8);
  for (int32_t fileRow = 0; fileRow < layout.Height; ++fileRow) {
    const uint8_t* source =
        in.Bytes(layout.PixelOffset + layout.FileRowBytes * fileRow, layout.FileRowBytes);
    uint8_t* target = image.Row(layout.TopDown ? fileRow : layout.Height - 1 - fileRow);
    if (indexed) {
      UnpackIndices(source, target, layout.Width, layout.BitCount);
    } else if (bitfields) {
      ConvertBitfieldsRow(source, target, layout.Width, channels);
    } else {
      std::memcpy(target, source, pixelBytes);
    }
  }
  return image;
}

std::vector<uint8_t> EncodeBmp(const PixelImage& image) {
  if (image.Empty()) throw PictureError("Cannot write an empty picture as a BMP file");
  const int bitCount = image.BitCount() == 32 ? 32 : 24;
  const uint32_t width = static_cast<uint32_t>(image.Width());
  const uint32_t rowBytes = (width * bitCount + 31) / 32 * 4;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(image.Height());
  const uint32_t offset = FileHeaderBytes + InfoHeaderBytes;

  LittleEndianWriter out;
  out.Out.reserve(offset + pixelBytes);
  out.U16(0x4D42);
  out.U32(offset + pixelBytes);
  out.U32(0);
  out.U32(offset);
  out.U32(InfoHeaderBytes);
  out.U32(width);
  out.U32(static_cast<uint32_t>(image.Height()));  // positive: bottom-up rows
  out.U16(1);
  out.U16(static_cast<uint32_t>(bitCount));
  out.U32(BiRgb);
  out.U32(pixelBytes);
  out.U32(PixelsPerMetre);
  out.U32(PixelsPerMetre);
  out.U32(0);
  out.U32(0);

  std::vector<uint8_t> row(rowBytes, 0);
  for (int32_t y = image.Height() - 1; y >= 0; --y) {
    const uint8_t* source = image.Row(y);
    if (image.BitCount() == 8) {
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t colour = image.Palette[source[x]];
        row[x * 3] = static_cast<uint8_t>(colour);
        row[x * 3 + 1] = static_cast<uint8_t>(colour >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(colour >> 16);
      }
    } else {
      std::memcpy(row.data(), source, width * (bitCount / 8));
    }
    out.Out.insert(out.Out.end(), row.begin(), row.end());
  }
  return std::move(out.Out);
}
