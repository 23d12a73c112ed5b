// TIFF decoding through libtiff: the first page, through its RGBA interface, which reads
// every baseline colour type and whichever compressions libtiff was built with (none,
// LZW, Deflate, PackBits and JPEG in ours). libtiff reports errors by return codes and
// through a per-file handler, so plain C++ ownership works here.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "image/decoded_pixels.h"

namespace {

[[noreturn]] void Fail(const std::string& why) {
  throw PictureError("Cannot decode the TIFF picture: " + why);
}

struct MemoryFile {
  std::span<const uint8_t> Data;
  toff_t Offset = 0;
  char Message[256] = {};
};

MemoryFile* FileOf(thandle_t handle) {
  return static_cast<MemoryFile*>(handle);
}

tmsize_t ReadFromMemory(thandle_t handle, void* out, tmsize_t count) {
  MemoryFile* file = FileOf(handle);
  if (count <= 0 || file->Offset >= file->Data.size()) return 0;
  const size_t given =
      std::min<size_t>(static_cast<size_t>(count), file->Data.size() - file->Offset);
  std::memcpy(out, file->Data.data() + file->Offset, given);
  file->Offset += given;
  return static_cast<tmsize_t>(given);
}

tmsize_t RefuseWrite(thandle_t, void*, tmsize_t) {
  return 0;
}

toff_t SeekInMemory(thandle_t handle, toff_t offset, int whence) {
  MemoryFile* file = FileOf(handle);
  const toff_t base = whence == SEEK_CUR   ? file->Offset
                      : whence == SEEK_END ? file->Data.size()
                                           : 0;
  // Offsets come from the file; a sum that wraps is as wrong as one past the end.
  if (offset > ~toff_t{0} - base) return static_cast<toff_t>(-1);
  file->Offset = base + offset;
  return file->Offset;
}

int CloseMemory(thandle_t) {
  return 0;
}

toff_t SizeOfMemory(thandle_t handle) {
  return FileOf(handle)->Data.size();
}

int NoMapping(thandle_t, void**, toff_t*) {
  return 0;
}

void NoUnmapping(thandle_t, void*, toff_t) {}

// Keeps the first error for the message; libtiff's own texts name the problem well.
int OnTiffError(TIFF*, void* user, const char*, const char* format, va_list arguments) {
  auto* file = static_cast<MemoryFile*>(user);
  if (file->Message[0] == '\0') {
    std::vsnprintf(file->Message, sizeof file->Message, format, arguments);
  }
  return 1;
}

int OnTiffWarning(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsFreer {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct RgbaEnder {
  void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

std::unique_ptr<TIFF, TiffCloser> OpenInMemory(MemoryFile& file) {
  std::unique_ptr<TIFFOpenOptions, OptionsFreer> options(TIFFOpenOptionsAlloc());
  if (!options) Fail("out of memory");
  // No single buffer of libtiff's (strips, tiles, tables) may pass the picture bound.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(MaxPictureBytes));
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnTiffError, &file);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnTiffWarning, &file);
  std::unique_ptr<TIFF, TiffCloser> tiff(
      TIFFClientOpenExt("picture", "rm", &file, ReadFromMemory, RefuseWrite, SeekInMemory,
                        CloseMemory, SizeOfMemory, NoMapping, NoUnmapping, options.get()));
  if (!tiff) Fail(file.Message[0] ? file.Message : "unreadable header");
  return tiff;
}

bool HasTiffSignature(std::span<const uint8_t> data) {
  return data.size() >= 4 &&
         (std::memcmp(data.data(), "II*\0", 4) == 0 || std::memcmp(data.data(), "MM\0*", 4) == 0 ||
          std::memcmp(data.data(), "II+\0", 4) == 0 || std::memcmp(data.data(), "MM\0+", 4) == 0);
}

// libtiff hands out premultiplied colours for either kind of alpha; the pixel image
// keeps them straight, like a PNG's.
void Unpremultiply(PixelImage& image) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint8_t* pixel = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x, pixel += 4) {
      const unsigned alpha = pixel[3];
      if (alpha == 255) continue;
      for (int c = 0; c < 3; ++c) {
        pixel[c] =
            alpha == 0
                ? 0
                : static_cast<uint8_t>(std::min(255u, (pixel[c] * 255u + alpha / 2) / alpha));
      }
    }
  }
}

}  // namespace

PixelImage DecodeTiff(std::span<const uint8_t> data) {
  if (!HasTiffSignature(data)) Fail("not a TIFF file");
  MemoryFile file{data};
  const auto tiff = OpenInMemory(file);
  char why[1024] = {};
  if (!TIFFRGBAImageOK(tiff.get(), why)) Fail(why);
  TIFFRGBAImage reader{};
  if (!TIFFRGBAImageBegin(&reader, tiff.get(), 0, why)) Fail(why);
  const std::unique_ptr<TIFFRGBAImage, RgbaEnder> ender(&reader);
  CheckPictureSize(reader.width, reader.height, 4);

  // Rows as stored, top first: the orientation is applied below, quarter turns included
  // (libtiff's own only flips).
  const int orientation =
      reader.orientation >= 1 && reader.orientation <= 8 ? reader.orientation : 1;
  reader.req_orientation = static_cast<uint16_t>(reader.orientation);
  PixelImage image;
  image.SetSize(static_cast<int32_t>(reader.width), static_cast<int32_t>(reader.height), 32);
  // 32-bit rows are exactly width x 4 bytes and follow each other: libtiff's raster.
  auto* raster = reinterpret_cast<uint32_t*>(image.Row(0));
  if (!TIFFRGBAImageGet(&reader, raster, reader.width, reader.height)) {
    Fail(file.Message[0] ? file.Message : "the pixels cannot be read");
  }
  SwapRedAndBlue(image);
  if (reader.alpha == 0) return Oriented(WithoutAlpha(image), orientation);
  Unpremultiply(image);
  return Oriented(std::move(image), orientation);
}
