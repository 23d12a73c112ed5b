#include "framework/background_picture.h"

namespace {

PixelRect ToPixelRect(const ScreenRect& rect) {
  return {rect.Left, rect.Top, rect.Width(), rect.Height()};
}

}  // namespace

PixelImage ComposeBackground(const PixelImage& picture, int32_t width, int32_t height,
                             const std::vector<BackgroundPart>& parts) {
  PixelImage composed;
  composed.SetSize(width, height, 32);
  for (const BackgroundPart& part : parts) {
    StretchDrawPart(composed, picture, ToPixelRect(part.Source), ToPixelRect(part.Dest));
  }
  return composed;
}

PixelImage LoadBackgroundFile(const std::string& path, int32_t screenWidth, int32_t screenHeight) {
  return OverBlack(LoadPictureFile(path, screenWidth, screenHeight));
}
