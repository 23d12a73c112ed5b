#include "framework/background_picture.h"

#include <algorithm>
#include <utility>

#include "framework/picture_fit.h"

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

SceneBackground ComposeSceneBackground(PixelImage picture, const ScreenLayout& layout,
                                       BackgroundKind kind, int32_t width, int32_t height) {
  SceneBackground background;
  background.Parts =
      BackgroundParts(layout, picture.Width(), picture.Height(), kind, true, layout.WorkBounds());
  if (picture.Empty() || width <= 0 || height <= 0) {
    background.Composed.SetSize(std::max(width, 0), std::max(height, 0), 32);
  } else {
    background.Composed = background.Parts.empty()
                              ? FilledPicture(picture, width, height)
                              : ComposeBackground(picture, width, height, background.Parts);
  }
  background.Picture = std::move(picture);
  return background;
}

PixelImage LoadBackgroundFile(const std::string& path, int32_t screenWidth, int32_t screenHeight) {
  return OverBlack(LoadPictureFile(path, screenWidth, screenHeight));
}

PixelImage FilledPicture(const PixelImage& picture, int32_t width, int32_t height) {
  const ScreenRect source = FillSource(picture.Width(), picture.Height(), width, height);
  return ComposeBackground(picture, width, height, {{source, {0, 0, width, height}}});
}

PixelImage DecodeJpegToFill(std::span<const uint8_t> jpeg, const std::vector<ScreenRect>& areas) {
  // A decoded picture fills an area without enlarging exactly when it is at least as wide
  // and as high as the area, whatever the two shapes.
  int32_t width = 0;
  int32_t height = 0;
  for (const ScreenRect& area : areas) {
    width = std::max(width, area.Width());
    height = std::max(height, area.Height());
  }
  return DecodeJpeg(jpeg, width, height);
}

PixelImage BubblePictureSquare(const PixelImage& picture, int32_t side) {
  PixelImage square;
  if (picture.HasAlpha()) {
    square.SetSize(side, side, 32);
    const ScreenRect fit = FitInSquare(picture.Width(), picture.Height(), side);
    square.StretchDraw(picture, ToPixelRect(fit));
    return square;
  }
  square.SetSize(side, side, 24);
  StretchDrawPart(square, picture, ToPixelRect(SquareSource(picture.Width(), picture.Height())),
                  {0, 0, side, side});
  return square;
}
