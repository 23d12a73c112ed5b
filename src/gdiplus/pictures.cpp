#include "gdiplus/pictures.h"

#include <exception>

#include "framework/background_picture.h"
#include "framework/picture_fit.h"
#include "framework/string_list.h"
#include "framework/win/screen_copy.h"
#include "gdiplus/preview_geometry.h"
#include "gdiplus/resource_image.h"
#include "gdiplus/tint.h"
#include "image/pixel_image.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

ULONG_PTR GdiplusToken = 0;

std::unique_ptr<TGPBitmap> BallImage;
std::unique_ptr<TGPBitmap> HighlightImage;
std::unique_ptr<TGPBitmap> ShadowImage;
std::unique_ptr<TGPBitmap> BackgroundImage;
std::unique_ptr<TGPBitmap> UserPicture;

RECT PreviewRect{};
int32_t SpriteSize = 0;
std::unique_ptr<TGPBitmap> PreviewBackground;
std::unique_ptr<TGPBitmap> PreviewBodyLayer;
std::unique_ptr<TGPBitmap> PreviewHighlightLayer;

namespace {

constexpr int32_t BuiltInBackground = 1;
constexpr int32_t ScreenCopyBackground = 2;
constexpr int32_t FileBackground = 3;

std::unique_ptr<TGPBitmap> LoadBackground(const ScreenRect& desktop) {
  switch (BackType) {
    case BuiltInBackground:
      return LoadResourceImage("BACK", "JPG");
    case ScreenCopyBackground:
      return CopyScreenImage(desktop);
    case FileBackground:
      return LoadUserPictureFile(BackPic, GetSystemMetrics(SM_CXSCREEN),
                                 GetSystemMetrics(SM_CYSCREEN));
    default:
      return nullptr;
  }
}

// A quoted list, or one of several names, is no file name: the first entry is.
std::unique_ptr<TGPBitmap> LoadFirstListedPicture() {
  if (Trim(BallPic).empty()) return nullptr;
  if (PictureList.Items.empty()) return std::make_unique<TGPBitmap>();
  return LoadUserPictureFile(PictureList.Items.front());
}

// A SpriteSize square of the body region of source, scaled with high quality.
std::unique_ptr<TGPBitmap> ScaledLayer(TGPBitmap* source, const SourceRect& region) {
  auto layer = std::make_unique<TGPBitmap>(SpriteSize, SpriteSize, PixelFormat32bppARGB);
  TGPGraphics graphics(layer.get());
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
  graphics.DrawImage(source, Gdiplus::Rect(0, 0, SpriteSize, SpriteSize), region.X, region.Y,
                     region.Width, region.Height, Gdiplus::UnitPixel);
  return layer;
}

}  // namespace

// Copies the decoded pixels into a new bitmap; a fourth byte that carries no alpha
// (24-bit sources, 32-bit BMPs with all-zero alpha) becomes opaque.
std::unique_ptr<TGPBitmap> BitmapFromPixels(PixelImage& image) {
  const bool keepAlpha = image.BitCount() == 32 && image.HasAlpha();
  if (image.BitCount() != 32) image.ConvertTo32();
  auto bitmap = std::make_unique<TGPBitmap>(image.Width(), image.Height(), PixelFormat32bppARGB);
  Gdiplus::BitmapData locked{};
  const Gdiplus::Rect whole(0, 0, image.Width(), image.Height());
  if (bitmap->LockBits(whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, locked) !=
      Gdiplus::Ok) {
    return std::make_unique<TGPBitmap>();
  }
  CopyBgraRows(image.Row(0), static_cast<int64_t>(image.Stride()),
               static_cast<uint8_t*>(locked.Scan0), locked.Stride, locked.Width, locked.Height,
               !keepAlpha);
  bitmap->UnlockBits(locked);
  return bitmap;
}

PixelImage PixelsOfBitmap(TGPBitmap& bitmap) {
  PixelImage image;
  const auto width = static_cast<int32_t>(bitmap.GetWidth());
  const auto height = static_cast<int32_t>(bitmap.GetHeight());
  if (width <= 0 || height <= 0) return image;
  Gdiplus::BitmapData locked{};
  if (bitmap.LockBits(Gdiplus::Rect(0, 0, width, height), Gdiplus::ImageLockModeRead,
                      PixelFormat32bppARGB, locked) != Gdiplus::Ok) {
    return image;
  }
  try {
    image.SetSize(width, height, 32);
    CopyBgraRows(static_cast<const uint8_t*>(locked.Scan0), locked.Stride, image.Row(0),
                 static_cast<int32_t>(image.Stride()), static_cast<uint32_t>(width),
                 static_cast<uint32_t>(height), false);
  } catch (const PictureError&) {
    image = PixelImage();
  }
  bitmap.UnlockBits(locked);
  return image;
}

bool StartGdiplus() {
  return StartGdiplusSession(GdiplusToken);
}

void LoadGdiplusPictures(const ScreenRect& desktop) {
  BallImage = LoadResourceImage("BALL", "PNG");
  HighlightImage = LoadResourceImage("BALL1", "PNG");
  ShadowImage = LoadResourceImage("BALL2", "PNG");
  BackgroundImage = LoadBackground(desktop);
  UserPicture = LoadFirstListedPicture();
}

namespace {

// The background over the whole preview, or, over a whole desktop, over each monitor on
// its own (a copy of the virtual screen: each its own part), where the full-screen scenes
// put it.
void DrawPreviewBackground(TGPGraphics& graphics, int32_t width, int32_t height,
                           const ScreenLayout* desktop) {
  const int32_t pictureWidth =
      BackgroundImage ? static_cast<int32_t>(BackgroundImage->GetWidth()) : 0;
  const int32_t pictureHeight =
      BackgroundImage ? static_cast<int32_t>(BackgroundImage->GetHeight()) : 0;
  const BackgroundKind kind = BackType == ScreenCopyBackground ? BackgroundKind::VirtualScreenCopy
                                                               : BackgroundKind::Picture;
  std::vector<BackgroundPart> parts =
      desktop && desktop->World().Width() == width && desktop->World().Height() == height
          ? BackgroundParts(*desktop, pictureWidth, pictureHeight, kind, false, desktop->World())
          : std::vector<BackgroundPart>{};
  if (parts.empty()) {
    // The preview's box: a picture fills it in proportion, a copy of the screen is stretched.
    const ScreenRect source = kind == BackgroundKind::Picture
                                  ? FillSource(pictureWidth, pictureHeight, width, height)
                                  : ScreenRect{0, 0, pictureWidth, pictureHeight};
    parts.push_back({source, {0, 0, width, height}});
  }
  // Resampled as the scenes resample, so a preview over the whole desktop shows the picture
  // where they do, to the pixel; GDI+'s own scaling puts it half a source pixel off.
  const PixelImage picture = BackgroundImage ? PixelsOfBitmap(*BackgroundImage) : PixelImage();
  if (picture.Empty()) return;
  PixelImage composed = ComposeBackground(picture, width, height, parts);
  const std::unique_ptr<TGPBitmap> bitmap = BitmapFromPixels(composed);
  graphics.DrawImage(bitmap.get(), 0, 0, width, height);
}

}  // namespace

void SetUpPreview(HWND window, const ScreenLayout* desktop) {
  PreviewRect = RECT{};
  GetClientRect(window, &PreviewRect);
  const int32_t width = PreviewRect.right - PreviewRect.left;
  const int32_t height = PreviewRect.bottom - PreviewRect.top;
  SizeScale = PreviewScale(width, WorldRect.Width);
  // Both layers are cut by the body picture's width, so they stay in register.
  const int32_t bodyWidth = BallImage ? static_cast<int32_t>(BallImage->GetWidth()) : 0;
  const SourceRect body = BodySourceRect(bodyWidth);
  SpriteSize = LimitSpriteToPicture(
      LimitSpriteSize(PreviewSpriteSize(BubbleRadius, SizeScale), width, height), body.Width);

  PreviewBackground = std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB);
  {
    TGPGraphics graphics(PreviewBackground.get());
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    DrawPreviewBackground(graphics, width, height, desktop);
  }

  PreviewBodyLayer = ScaledLayer(BallImage.get(), body);
  PreviewHighlightLayer = ScaledLayer(HighlightImage.get(), body);
}

void FreePreviewImages() {
  PreviewBodyLayer.reset();
  PreviewHighlightLayer.reset();
  PreviewBackground.reset();
}

void ReleasePictures() {
  FreePreviewImages();
  BallImage.reset();
  HighlightImage.reset();
  ShadowImage.reset();
  BackgroundImage.reset();
  UserPicture.reset();
}

void ShutdownGdiplus() {
  ReleasePictures();
  StopGdiplusSession(GdiplusToken);
  GdiplusToken = 0;
}

std::unique_ptr<TGPBitmap> CopyScreenImage(const ScreenRect& area) {
  const ScreenRect copied =
      area.Empty() ? ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}
                   : area;
  HBITMAP copy = CopyScreenBitmap(copied);
  auto bitmap = std::make_unique<TGPBitmap>(copy, static_cast<HPALETTE>(nullptr));
  if (copy) DeleteObject(copy);
  return bitmap;
}

std::unique_ptr<TGPBitmap> LoadUserPictureFile(const std::string& path, int32_t minWidth,
                                               int32_t minHeight) {
  try {
    PixelImage image = LoadPictureFile(path, minWidth, minHeight);
    if (image.Empty()) return std::make_unique<TGPBitmap>();
    return BitmapFromPixels(image);
  } catch (const std::exception&) {
    // A user's file that cannot be read or decoded simply shows nothing.
    return std::make_unique<TGPBitmap>();
  }
}
