#include "gdiplus/win/gdiplus_objects.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

bool SessionRunning = false;

}  // namespace

bool GdiplusSessionRunning() {
  return SessionRunning;
}

bool StartGdiplusSession(ULONG_PTR& token) {
  if (SessionRunning) return true;  // one session a process; a second start keeps it
  GdiplusStartupInput input;        // version 1, no debug callback, background thread, codecs
  token = 0;
  SessionRunning = GdiplusStartup(&token, &input, nullptr) == Ok;
  return SessionRunning;
}

void StopGdiplusSession(ULONG_PTR token) {
  if (!SessionRunning) return;
  SessionRunning = false;
  GdiplusShutdown(token);
}

TGPImage::~TGPImage() {
  if (Native != nullptr && SessionRunning) GdipDisposeImage(Native);
}

Status TGPImage::Record(Status status) {
  if (status != Ok) LastStatus = status;
  return status;
}

UINT TGPImage::GetWidth() {
  UINT width = 0;
  if (Record(GdipGetImageWidth(Native, &width)) != Ok) return 0;
  return width;
}

UINT TGPImage::GetHeight() {
  UINT height = 0;
  if (Record(GdipGetImageHeight(Native, &height)) != Ok) return 0;
  return height;
}

namespace {

// Every constructor leaves the handle null when the call fails, whatever GDI+ wrote.
template <typename Create>
GpImage* Created(Status& status, Create create) {
  GpBitmap* bitmap = nullptr;
  status = create(&bitmap);
  return status == Ok ? bitmap : nullptr;
}

}  // namespace

TGPBitmap::TGPBitmap(const std::wstring& fileName, bool useColorManagement) {
  Status status = Ok;
  Native = Created(status, [&](GpBitmap** out) {
    return useColorManagement ? GdipCreateBitmapFromFileICM(fileName.c_str(), out)
                              : GdipCreateBitmapFromFile(fileName.c_str(), out);
  });
  Record(status);
}

TGPBitmap::TGPBitmap(IStream* stream, bool useColorManagement) {
  Status status = Ok;
  Native = Created(status, [&](GpBitmap** out) {
    return useColorManagement ? GdipCreateBitmapFromStreamICM(stream, out)
                              : GdipCreateBitmapFromStream(stream, out);
  });
  Record(status);
}

TGPBitmap::TGPBitmap(INT width, INT height, PixelFormat format) {
  Status status = Ok;
  Native = Created(status, [&](GpBitmap** out) {
    return GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, out);
  });
  Record(status);
}

TGPBitmap::TGPBitmap(HBITMAP bitmap, HPALETTE palette) {
  Status status = Ok;
  Native = Created(
      status, [&](GpBitmap** out) { return GdipCreateBitmapFromHBITMAP(bitmap, palette, out); });
  Record(status);
}

Status TGPBitmap::LockBits(const Rect& rect, UINT lockMode, PixelFormat format,
                           BitmapData& lockedData) {
  return Record(GdipBitmapLockBits(NativeBitmap(), &rect, lockMode, format, &lockedData));
}

Status TGPBitmap::UnlockBits(BitmapData& lockedData) {
  return Record(GdipBitmapUnlockBits(NativeBitmap(), &lockedData));
}

TGPGraphics::TGPGraphics(HDC dc) {
  GpGraphics* graphics = nullptr;
  if (Record(GdipCreateFromHDC(dc, &graphics)) == Ok) Native = graphics;
}

TGPGraphics::TGPGraphics(TGPImage* image) {
  if (image == nullptr || !image->HoldsImage()) {
    Record(InvalidParameter);
    return;
  }
  GpGraphics* graphics = nullptr;
  if (Record(GdipGetImageGraphicsContext(image->NativeImage(), &graphics)) == Ok) {
    Native = graphics;
  }
}

TGPGraphics::~TGPGraphics() {
  if (Native != nullptr && SessionRunning) GdipDeleteGraphics(Native);
}

Status TGPGraphics::Record(Status status) {
  if (status != Ok) LastStatus = status;
  return status;
}

GpImage* TGPGraphics::Drawable(TGPImage* image) {
  if (Native == nullptr || image == nullptr) return nullptr;
  return image->NativeImage();
}

Status TGPGraphics::SetInterpolationMode(InterpolationMode mode) {
  return Record(GdipSetInterpolationMode(Native, mode));
}

Status TGPGraphics::SetSmoothingMode(SmoothingMode mode) {
  return Record(GdipSetSmoothingMode(Native, mode));
}

Status TGPGraphics::Clear(ARGB color) {
  return Record(GdipGraphicsClear(Native, color));
}

Status TGPGraphics::DrawImage(TGPImage* image, INT x, INT y, INT width, INT height) {
  GpImage* native = Drawable(image);
  if (native == nullptr) return Record(InvalidParameter);
  return Record(GdipDrawImageRectI(Native, native, x, y, width, height));
}

Status TGPGraphics::DrawImage(TGPImage* image, const Rect& dest, INT srcX, INT srcY, INT srcWidth,
                              INT srcHeight, Unit srcUnit, GpImageAttributes* attributes,
                              DrawImageAbort callback, void* callbackData) {
  GpImage* native = Drawable(image);
  if (native == nullptr) return Record(InvalidParameter);
  return Record(GdipDrawImageRectRectI(Native, native, dest.X, dest.Y, dest.Width, dest.Height,
                                       srcX, srcY, srcWidth, srcHeight, srcUnit, attributes,
                                       callback, callbackData));
}

Status TGPGraphics::DrawImage(TGPImage* image, const RectF& dest, REAL srcX, REAL srcY,
                              REAL srcWidth, REAL srcHeight, Unit srcUnit,
                              GpImageAttributes* attributes, DrawImageAbort callback,
                              void* callbackData) {
  GpImage* native = Drawable(image);
  if (native == nullptr) return Record(InvalidParameter);
  return Record(GdipDrawImageRectRect(Native, native, dest.X, dest.Y, dest.Width, dest.Height, srcX,
                                      srcY, srcWidth, srcHeight, srcUnit, attributes, callback,
                                      callbackData));
}
