#include "settings/dialog/picture_preview.h"

#include <cstdio>
#include <exception>

#include "settings/dialog/dialog_core.h"

namespace {

// By the C library's fopen, which takes the same ANSI paths as the picture loader.
bool FileSizeAtMost(const std::string& path, uint64_t limit) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool sized = std::fseek(file, 0, SEEK_END) == 0;
  const long size = sized ? std::ftell(file) : -1;
  std::fclose(file);
  return size >= 0 && static_cast<uint64_t>(size) <= limit;
}

}  // namespace

PixelImage MakePreviewImage(PixelImage picture, int32_t boxWidth, int32_t boxHeight,
                            uint32_t background) {
  PixelImage preview;
  const FitRect fit = FitPicture(picture.Width(), picture.Height(), boxWidth, boxHeight);
  if (fit.Width == 0 || fit.Height == 0) return preview;
  picture.ConvertTo32();
  PixelImage scaled;
  scaled.SetSize(fit.Width, fit.Height, 32);
  scaled.StretchDraw(picture, {0, 0, fit.Width, fit.Height});
  const bool hasAlpha = picture.HasAlpha();
  const uint8_t backBlue = static_cast<uint8_t>(background);
  const uint8_t backGreen = static_cast<uint8_t>(background >> 8);
  const uint8_t backRed = static_cast<uint8_t>(background >> 16);
  preview.SetSize(fit.Width, fit.Height, 24);
  for (int32_t y = 0; y < fit.Height; ++y) {
    const uint8_t* from = scaled.Row(y);
    uint8_t* to = preview.Row(y);
    for (int32_t x = 0; x < fit.Width; ++x, from += 4, to += 3) {
      const int alpha = hasAlpha ? from[3] : 255;
      const auto blend = [alpha](uint8_t colour, uint8_t back) {
        return static_cast<uint8_t>((colour * alpha + back * (255 - alpha) + 127) / 255);
      };
      to[0] = blend(from[0], backBlue);
      to[1] = blend(from[1], backGreen);
      to[2] = blend(from[2], backRed);
    }
  }
  return preview;
}

std::optional<PixelImage> LoadPreviewImage(const std::string& path, int32_t boxWidth,
                                           int32_t boxHeight, uint32_t background) {
  try {
    if (!FileSizeAtMost(path, MaxPreviewFileBytes)) return std::nullopt;
    PixelImage preview = MakePreviewImage(LoadPictureFile(path, boxWidth, boxHeight), boxWidth,
                                          boxHeight, background);
    if (preview.Empty()) return std::nullopt;
    return preview;
  } catch (const std::exception&) {
    return std::nullopt;  // a bad picture shows no preview; choosing it is still allowed
  }
}
