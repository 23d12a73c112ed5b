#include "gdiplus/win/pictures.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "framework/background_picture.h"
#include "framework/picture_fit.h"
#include "framework/string_list.h"
#include "framework/win/built_in_picture.h"
#include "framework/win/screen_copy.h"
#include "gdiplus/preview_geometry.h"
#include "gdiplus/tint.h"
#include "image/pixel_image.h"
#include "settings/settings.h"
#include "world/bubble_table.h"

ULONG_PTR GdiplusToken = 0;

std::unique_ptr<TGPBitmap> BallImage;
std::unique_ptr<TGPBitmap> HighlightImage;
std::unique_ptr<TGPBitmap> ShadowImage;
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

// A quoted list, or one of several names, is no file name: the first entry is.
std::unique_ptr<TGPBitmap> LoadFirstListedPicture() {
  if (Trim(BallPic).empty()) return nullptr;
  if (PictureList.Items.empty()) return std::make_unique<TGPBitmap>();
  return LoadUserPictureFile(PictureList.Items.front());
}

// A fourth byte that carries no alpha (24-bit sources, 32-bit BMPs with all-zero alpha)
// is no alpha: the picture is opaque.
void MakeOpaqueUnlessAlpha(PixelImage& image) {
  if (image.BitCount() != 32) {
    image.ConvertTo32();  // its new alpha bytes are 255
    return;
  }
  if (image.HasAlpha()) return;
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint8_t* row = image.Row(y);
    for (int32_t x = 0; x < image.Width(); ++x) row[x * 4 + 3] = 255;
  }
}

// Copies 32-bit pixels, alpha as it is, into a new bitmap.
std::unique_ptr<TGPBitmap> CopyIntoBitmap(const PixelImage& image) {
  auto bitmap = std::make_unique<TGPBitmap>(image.Width(), image.Height(), PixelFormat32bppARGB);
  Gdiplus::BitmapData locked{};
  const Gdiplus::Rect whole(0, 0, image.Width(), image.Height());
  if (bitmap->LockBits(whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, locked) !=
      Gdiplus::Ok) {
    return std::make_unique<TGPBitmap>();
  }
  CopyBgraRows(image.Row(0), static_cast<int64_t>(image.Stride()),
               static_cast<uint8_t*>(locked.Scan0), locked.Stride, locked.Width, locked.Height,
               false);
  bitmap->UnlockBits(locked);
  return bitmap;
}

// The bitmap's pixels as a 32-bit image; empty when it holds none.
PixelImage PixelsOf(TGPBitmap* bitmap) {
  PixelImage image;
  if (!bitmap || !bitmap->HoldsImage()) return image;
  const auto width = static_cast<INT>(bitmap->GetWidth());
  const auto height = static_cast<INT>(bitmap->GetHeight());
  Gdiplus::BitmapData locked{};
  if (width <= 0 || height <= 0 ||
      bitmap->LockBits(Gdiplus::Rect(0, 0, width, height), Gdiplus::ImageLockModeRead,
                       PixelFormat32bppARGB, locked) != Gdiplus::Ok) {
    return image;
  }
  image.SetSize(width, height, 32);
  CopyBgraRows(static_cast<const uint8_t*>(locked.Scan0), locked.Stride, image.Row(0),
               static_cast<int32_t>(image.Stride()), locked.Width, locked.Height, false);
  bitmap->UnlockBits(locked);
  return image;
}

// A built-in PNG through our own decoder, which is quicker to start than GDI+'s.
std::unique_ptr<TGPBitmap> LoadBuiltInPng(const char* name) {
  const std::span<const uint8_t> bytes = BuiltInPicture(name, "PNG");
  try {
    if (bytes.empty()) return std::make_unique<TGPBitmap>();
    PixelImage image = PngToPixelImage(DecodePng(bytes));
    MakeOpaqueUnlessAlpha(image);
    return CopyIntoBitmap(image);
  } catch (const PictureError&) {
    return std::make_unique<TGPBitmap>();
  }
}

// A SpriteSize square of the body region of source, resampled by our own filter: GDI+'s
// high-quality one took a tenth of a second for a full-screen preview's layer.
std::unique_ptr<TGPBitmap> ScaledLayer(TGPBitmap* source, const SourceRect& region) {
  const PixelImage picture = PixelsOf(source);
  PixelImage layer;
  layer.SetSize(std::max(SpriteSize, 0), std::max(SpriteSize, 0), 32);
  StretchDrawPart(layer, picture, {region.X, region.Y, region.Width, region.Height},
                  {0, 0, SpriteSize, SpriteSize});
  return CopyIntoBitmap(layer);
}

}  // namespace

std::unique_ptr<TGPBitmap> BitmapFromPixels(PixelImage& image) {
  MakeOpaqueUnlessAlpha(image);
  return CopyIntoBitmap(image);
}

PixelImage PixelsOfBitmap(TGPBitmap& bitmap) {
  return PixelsOf(&bitmap);
}

bool StartGdiplus() {
  return StartGdiplusSession(GdiplusToken);
}

void LoadGdiplusPictures() {
  BallImage = LoadBuiltInPng("BALL");
  HighlightImage = LoadBuiltInPng("BALL1");
  ShadowImage = LoadBuiltInPng("BALL2");
  UserPicture = LoadFirstListedPicture();
}

namespace {

// The background by BackType, decoded no larger than a width x height preview needs (a
// JPEG at a reduced scale); empty for none and for a picture that cannot be read. A copy
// of the screen is taken now, before the preview's window shows.
PixelImage PreviewBackgroundPicture(int32_t width, int32_t height, const ScreenLayout* desktop) {
  try {
    switch (BackType) {
      case BuiltInBackground: {
        // At the scale the scenes decode it, so a preview over the whole desktop shows it
        // where they do, to the pixel.
        const std::span<const uint8_t> bytes = BuiltInPicture("BACK", "JPG");
        const std::vector<ScreenRect> areas =
            desktop ? desktop->MonitorRects() : std::vector<ScreenRect>{{0, 0, width, height}};
        return bytes.empty() ? PixelImage{} : DecodeJpegToFill(bytes, areas);
      }
      case ScreenCopyBackground:
        return CopyScreenPixels(desktop ? desktop->Virtual()
                                        : ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                                     GetSystemMetrics(SM_CYSCREEN)});
      case FileBackground:
        return LoadPictureFile(BackPic, width, height);
      default:
        return {};
    }
  } catch (const std::exception&) {
    return {};  // shows nothing, as a missing picture does
  }
}

// The background over the whole preview, or, over a whole desktop, over each monitor on
// its own (a copy of the virtual screen: each its own part), where the full-screen scenes
// put it: a picture fills its area in proportion, cut around its centre. Resampled as the
// scenes resample, so a preview over the whole desktop matches them to the pixel.
PixelImage ComposePreviewBackground(PixelImage picture, int32_t width, int32_t height,
                                    const ScreenLayout* desktop) {
  // A picture of 24 bits (or 8) is resampled as it is, opaque, by the scenes' own path; only
  // one of 32 bits needs its alpha, if it has none, made opaque.
  if (picture.BitCount() == 32) MakeOpaqueUnlessAlpha(picture);
  const BackgroundKind kind = BackType == ScreenCopyBackground ? BackgroundKind::VirtualScreenCopy
                                                               : BackgroundKind::Picture;
  std::vector<BackgroundPart> parts =
      desktop && desktop->World().Width() == width && desktop->World().Height() == height
          ? BackgroundParts(*desktop, picture.Width(), picture.Height(), kind, false,
                            desktop->World())
          : std::vector<BackgroundPart>{};
  if (parts.empty()) {
    // The preview's box: a picture fills it in proportion, a copy of the screen is stretched.
    const ScreenRect source = kind == BackgroundKind::Picture
                                  ? FillSource(picture.Width(), picture.Height(), width, height)
                                  : ScreenRect{0, 0, picture.Width(), picture.Height()};
    parts.push_back({source, {0, 0, width, height}});
  }
  return ComposeBackground(picture, width, height, parts);
}

// The background resampled over a width x height preview; empty where there is none.
PixelImage PreviewBackgroundPixels(int32_t width, int32_t height, const ScreenLayout* desktop) {
  PixelImage picture = PreviewBackgroundPicture(width, height, desktop);
  if (picture.Empty() || width <= 0 || height <= 0) return {};
  return ComposePreviewBackground(std::move(picture), width, height, desktop);
}

std::pair<int32_t, int32_t> ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right - client.left, client.bottom - client.top};
}

}  // namespace

std::future<PixelImage> StartPreviewBackground(HWND window, const ScreenLayout* desktop) {
  const auto [width, height] = ClientSize(window);
  std::optional<ScreenLayout> layout;
  if (desktop) layout = *desktop;
  return std::async(std::launch::async, [=] {
    return PreviewBackgroundPixels(width, height, layout ? &*layout : nullptr);
  });
}

void SetUpPreview(HWND window, const ScreenLayout* desktop, std::future<PixelImage> background) {
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

  PreviewBodyLayer = ScaledLayer(BallImage.get(), body);
  PreviewHighlightLayer = ScaledLayer(HighlightImage.get(), body);

  const PixelImage pixels =
      background.valid() ? background.get() : PreviewBackgroundPixels(width, height, desktop);
  PreviewBackground = pixels.Empty() || pixels.Width() != width || pixels.Height() != height
                          ? std::make_unique<TGPBitmap>(width, height, PixelFormat32bppARGB)
                          : CopyIntoBitmap(pixels);
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
  UserPicture.reset();
}

void ShutdownGdiplus() {
  ReleasePictures();
  StopGdiplusSession(GdiplusToken);
  GdiplusToken = 0;
}

std::unique_ptr<TGPBitmap> LoadUserPictureFile(const std::string& path, int32_t minWidth,
                                               int32_t minHeight) {
  try {
    PixelImage image = LoadPictureFile(path, minWidth, minHeight);
    if (image.Empty()) return std::make_unique<TGPBitmap>();
    MakeOpaqueUnlessAlpha(image);
    return CopyIntoBitmap(image);
  } catch (const std::exception&) {
    // A user's file that cannot be read or decoded simply shows nothing.
    return std::make_unique<TGPBitmap>();
  }
}
