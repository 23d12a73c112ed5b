// The process-wide GDI+ pictures and the preview's pre-scaled images, with the steps
// that start-up and finish call in this order:
//   StartGdiplus, LoadGdiplusPictures, [preview: SetUpPreview], ...,
//   [preview: FreePreviewImages], ShutdownGdiplus.
// ShutdownGdiplus releases every picture before GdiplusShutdown, so nothing is
// disposed after GDI+ has gone.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>

#include "framework/screen_layout.h"
#include "gdiplus/win/gdiplus_objects.h"
#include "image/pixel_image.h"

extern ULONG_PTR GdiplusToken;

extern std::unique_ptr<TGPBitmap> BallImage;       // resource BALL: bubble body
extern std::unique_ptr<TGPBitmap> HighlightImage;  // resource BALL1: highlights
extern std::unique_ptr<TGPBitmap> ShadowImage;     // resource BALL2: shadow
extern std::unique_ptr<TGPBitmap> UserPicture;     // first picture of the list; null for none

extern RECT PreviewRect;  // client rectangle of the host window in the preview
extern int32_t SpriteSize;
extern std::unique_ptr<TGPBitmap> PreviewBackground;      // the background at preview size
extern std::unique_ptr<TGPBitmap> PreviewBodyLayer;       // SpriteSize square
extern std::unique_ptr<TGPBitmap> PreviewHighlightLayer;  // SpriteSize square

// GdiplusStartup, version 1; false when GDI+ did not start (every later GDI+ call then
// fails and draws nothing, which is all the program does about it).
bool StartGdiplus();

// The three bubble pictures from the resources and UserPicture from the first entry of
// PictureList when BallPic is not blank, all decoded by our own bounded decoders; a user's
// file that fails gives a bitmap that holds no image, without a message. Only the preview
// shows a background picture, and its set-up loads it at the size it needs.
void LoadGdiplusPictures();

// The preview set-up: PreviewRect from the window, SizeScale becomes the preview scale,
// SpriteSize, and the three pre-scaled images: the background by BackType (1 the built-in
// photograph, 2 a copy of the screen as it is now, 3 the file BackPic, other none: left
// transparent), decoded no larger than the preview needs, and the body and highlight
// layers cut from BallImage and HighlightImage. Resampled by our own filter, which
// averages where it shrinks and blends where it enlarges. A preview that covers the whole
// desktop (layout given) copies the virtual screen and stretches its background over each
// monitor on its own, as the full-screen drivers do; any other copies the primary screen.
// A background already on its way (StartPreviewBackground) is waited for instead.
void SetUpPreview(HWND window, const ScreenLayout* desktop = nullptr,
                  std::future<PixelImage> background = {});
// The preview's background, decoded and resampled for the window's client area on a thread
// of its own, the most of a preview's set-up: GDI+ starts and the bubble pictures load
// meanwhile. It needs no GDI+.
std::future<PixelImage> StartPreviewBackground(HWND window, const ScreenLayout* desktop = nullptr);

// Frees the three preview images; with none there is nothing to do.
void FreePreviewImages();

// Frees every picture above (the preview images too).
void ReleasePictures();

// ReleasePictures, then GdiplusShutdown. Safe when GDI+ never started.
void ShutdownGdiplus();

// A user's picture file decoded by our own decoders into a 32bppARGB bitmap; a file
// that cannot be read or decoded gives a bitmap that holds no image. A JPEG is decoded
// scaled down as far as minWidth x minHeight allows (a background passes the screen).
std::unique_ptr<TGPBitmap> LoadUserPictureFile(const std::string& path, int32_t minWidth = 0,
                                               int32_t minHeight = 0);

// Copies the decoded pixels into a new 32bppARGB bitmap; a fourth byte that carries no
// alpha (24-bit sources, 32-bit BMPs with all-zero alpha) becomes opaque.
std::unique_ptr<TGPBitmap> BitmapFromPixels(PixelImage& image);

// A bitmap's pixels as a 32-bit image, alpha kept; empty when it holds none.
PixelImage PixelsOfBitmap(TGPBitmap& bitmap);
