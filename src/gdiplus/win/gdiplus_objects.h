// Thin objects over the flat GDI+ interface. Each holds its native handle and the last
// non-zero status a call returned. No call ever throws: a bitmap whose creation failed
// holds no image, and drawing with it (or with a null image) does nothing but record
// the failure, so a frame with a missing picture still completes.
//
// Objects live on the ordinary C++ heap rather than GdipAlloc: GdipAlloc answers null
// while GDI+ is not running, and a program whose GDI+ failed to start must still be
// able to make (empty) objects and go on.
#pragma once

// In this order: gdiplus.h needs the window, COM stream and property types before it.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <propidl.h>
#include <gdiplus.h>
// clang-format on

#include <string>

// True between a successful StartGdiplusSession and StopGdiplusSession. Objects that
// outlive the session drop their handle without calling into GDI+, because disposing
// after GdiplusShutdown crashes.
bool GdiplusSessionRunning();
bool StartGdiplusSession(ULONG_PTR& token);
void StopGdiplusSession(ULONG_PTR token);

class TGPImage {
 public:
  virtual ~TGPImage();
  TGPImage(const TGPImage&) = delete;
  TGPImage& operator=(const TGPImage&) = delete;

  UINT GetWidth();   // 0 when the call fails
  UINT GetHeight();  // 0 when the call fails
  bool HoldsImage() const { return Native != nullptr; }
  Gdiplus::GpImage* NativeImage() const { return Native; }
  Gdiplus::Status GetLastStatus() const { return LastStatus; }

 protected:
  TGPImage() = default;
  Gdiplus::Status Record(Gdiplus::Status status);

  Gdiplus::GpImage* Native = nullptr;
  Gdiplus::Status LastStatus = Gdiplus::Ok;
};

class TGPBitmap : public TGPImage {
 public:
  TGPBitmap() = default;  // holds no image
  // GDI+ reads the file itself; user files go through our decoders instead.
  explicit TGPBitmap(const std::wstring& fileName, bool useColorManagement = false);
  // GDI+ may decode from the stream at any later time: it must live as long as the bitmap.
  explicit TGPBitmap(IStream* stream, bool useColorManagement = false);
  // A new bitmap that GDI+ allocates and zeroes: fully transparent in 32bppARGB.
  TGPBitmap(INT width, INT height, Gdiplus::PixelFormat format = PixelFormat32bppARGB);
  // Copies the pixels: the GDI bitmap may be deleted afterwards.
  TGPBitmap(HBITMAP bitmap, HPALETTE palette);

  Gdiplus::Status LockBits(const Gdiplus::Rect& rect, UINT lockMode, Gdiplus::PixelFormat format,
                           Gdiplus::BitmapData& lockedData);
  Gdiplus::Status UnlockBits(Gdiplus::BitmapData& lockedData);

  Gdiplus::GpBitmap* NativeBitmap() const { return static_cast<Gdiplus::GpBitmap*>(Native); }
};

class TGPGraphics {
 public:
  explicit TGPGraphics(HDC dc);
  // A graphics context drawing into the image; none when the image holds no image.
  explicit TGPGraphics(TGPImage* image);
  ~TGPGraphics();
  TGPGraphics(const TGPGraphics&) = delete;
  TGPGraphics& operator=(const TGPGraphics&) = delete;

  bool Usable() const { return Native != nullptr; }
  Gdiplus::Status GetLastStatus() const { return LastStatus; }

  Gdiplus::Status SetInterpolationMode(Gdiplus::InterpolationMode mode);
  Gdiplus::Status SetSmoothingMode(Gdiplus::SmoothingMode mode);
  Gdiplus::Status Clear(Gdiplus::ARGB color);
  Gdiplus::Status DrawImage(TGPImage* image, INT x, INT y, INT width, INT height);
  Gdiplus::Status DrawImage(TGPImage* image, const Gdiplus::Rect& dest, INT srcX, INT srcY,
                            INT srcWidth, INT srcHeight, Gdiplus::Unit srcUnit,
                            Gdiplus::GpImageAttributes* attributes = nullptr,
                            Gdiplus::DrawImageAbort callback = nullptr,
                            void* callbackData = nullptr);
  Gdiplus::Status DrawImage(TGPImage* image, const Gdiplus::RectF& dest, Gdiplus::REAL srcX,
                            Gdiplus::REAL srcY, Gdiplus::REAL srcWidth, Gdiplus::REAL srcHeight,
                            Gdiplus::Unit srcUnit, Gdiplus::GpImageAttributes* attributes = nullptr,
                            Gdiplus::DrawImageAbort callback = nullptr,
                            void* callbackData = nullptr);

 private:
  Gdiplus::Status Record(Gdiplus::Status status);
  // Null when either side is missing; the call is then recorded as failed.
  Gdiplus::GpImage* Drawable(TGPImage* image);

  Gdiplus::GpGraphics* Native = nullptr;
  Gdiplus::Status LastStatus = Gdiplus::Ok;
};
