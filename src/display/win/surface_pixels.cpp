#include "display/win/surface_pixels.h"

#include <bit>
#include <cstring>

#include "image/pixel_image.h"

namespace {

struct Channel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  explicit Channel(uint32_t mask) : Mask(mask) {
    if (mask) {
      Shift = std::countr_zero(mask);
      Bits = std::popcount(mask >> Shift);
    }
  }
  uint32_t Put(uint8_t value) const {
    if (!Mask) return 0;
    const uint32_t v = Bits >= 8 ? static_cast<uint32_t>(value) << (Bits - 8)
                                 : static_cast<uint32_t>(value) >> (8 - Bits);
    return (v << Shift) & Mask;
  }
  uint8_t Get(uint32_t pixel, uint8_t absent) const {
    if (!Mask) return absent;
    const uint32_t v = (pixel & Mask) >> Shift;
    if (Bits >= 8) return static_cast<uint8_t>(v >> (Bits - 8));
    // Widen by repeating the high bits, so full scale stays 255.
    return static_cast<uint8_t>((v * 255u + ((1u << Bits) - 1) / 2) / ((1u << Bits) - 1));
  }
};

struct Format {
  Channel R, G, B, A;
  int Bytes;
  explicit Format(const DDPIXELFORMAT& f)
      : R(f.dwRBitMask),
        G(f.dwGBitMask),
        B(f.dwBBitMask),
        A((f.dwFlags & DDPF_ALPHAPIXELS) ? f.dwRGBAlphaBitMask : 0),
        Bytes(static_cast<int>(f.dwRGBBitCount / 8)) {}
};

void StorePixel(uint8_t* at, int bytes, uint32_t value) {
  if (bytes == 4) {
    std::memcpy(at, &value, 4);
  } else if (bytes == 3) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
  } else if (bytes == 2) {
    const auto v16 = static_cast<uint16_t>(value);
    std::memcpy(at, &v16, 2);
  }
}

uint32_t LoadPixel(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  std::memcpy(&value, at, static_cast<size_t>(bytes));
  return value;
}

// Blue, green, red, alpha of one image pixel.
void ImagePixel(const PixelImage& image, const uint8_t* row, int32_t x, uint8_t bgra[4]) {
  switch (image.BitCount()) {
    case 32:
      std::memcpy(bgra, row + x * 4, 4);
      return;
    case 24:
      std::memcpy(bgra, row + x * 3, 3);
      bgra[3] = 255;
      return;
    default: {
      const uint32_t entry = image.Palette[row[x]];
      bgra[0] = static_cast<uint8_t>(entry);
      bgra[1] = static_cast<uint8_t>(entry >> 8);
      bgra[2] = static_cast<uint8_t>(entry >> 16);
      bgra[3] = 255;
    }
  }
}

class SurfaceLock {
 public:
  SurfaceLock(IDirectDrawSurface7* surface, DWORD flags) : Surface(surface) {
    Desc.dwSize = sizeof Desc;
    Locked = surface && SUCCEEDED(surface->Lock(nullptr, &Desc, flags | DDLOCK_WAIT, nullptr));
  }
  ~SurfaceLock() {
    if (Locked) Surface->Unlock(nullptr);
  }
  SurfaceLock(const SurfaceLock&) = delete;
  SurfaceLock& operator=(const SurfaceLock&) = delete;

  bool Usable() const {
    const int bytes = static_cast<int>(Desc.ddpfPixelFormat.dwRGBBitCount / 8);
    return Locked && (Desc.ddpfPixelFormat.dwFlags & DDPF_RGB) && bytes >= 2 && bytes <= 4;
  }
  uint8_t* Row(DWORD y) const {
    return static_cast<uint8_t*>(Desc.lpSurface) + static_cast<ptrdiff_t>(y) * Desc.lPitch;
  }
  DDSURFACEDESC2 Desc{};

 private:
  IDirectDrawSurface7* Surface;
  bool Locked = false;
};

}  // namespace

bool WriteImageToSurface(IDirectDrawSurface7* surface, const PixelImage& image) {
  SurfaceLock lock(surface, DDLOCK_WRITEONLY);
  if (!lock.Usable()) return false;
  const Format f(lock.Desc.ddpfPixelFormat);
  const DWORD height = std::min<DWORD>(lock.Desc.dwHeight, static_cast<DWORD>(image.Height()));
  const DWORD width = std::min<DWORD>(lock.Desc.dwWidth, static_cast<DWORD>(image.Width()));
  for (DWORD y = 0; y < height; ++y) {
    const uint8_t* source = image.Row(static_cast<int32_t>(y));
    uint8_t* dest = lock.Row(y);
    for (DWORD x = 0; x < width; ++x) {
      uint8_t bgra[4];
      ImagePixel(image, source, static_cast<int32_t>(x), bgra);
      StorePixel(dest + x * f.Bytes, f.Bytes,
                 f.R.Put(bgra[2]) | f.G.Put(bgra[1]) | f.B.Put(bgra[0]) | f.A.Put(bgra[3]));
    }
  }
  return true;
}

bool ReadSurfacePixel(IDirectDrawSurface7* surface, int32_t x, int32_t y, uint32_t& argb) {
  SurfaceLock lock(surface, DDLOCK_READONLY);
  if (!lock.Usable() || x < 0 || y < 0 || static_cast<DWORD>(x) >= lock.Desc.dwWidth ||
      static_cast<DWORD>(y) >= lock.Desc.dwHeight) {
    return false;
  }
  const Format f(lock.Desc.ddpfPixelFormat);
  const uint32_t p = LoadPixel(lock.Row(static_cast<DWORD>(y)) + x * f.Bytes, f.Bytes);
  argb = (uint32_t{f.A.Get(p, 255)} << 24) | (uint32_t{f.R.Get(p, 0)} << 16) |
         (uint32_t{f.G.Get(p, 0)} << 8) | f.B.Get(p, 0);
  return true;
}

bool ReadSurfaceImage(IDirectDrawSurface7* surface, PixelImage& image) {
  SurfaceLock lock(surface, DDLOCK_READONLY);
  if (!lock.Usable()) return false;
  const Format f(lock.Desc.ddpfPixelFormat);
  image.SetSize(static_cast<int32_t>(lock.Desc.dwWidth), static_cast<int32_t>(lock.Desc.dwHeight),
                32);
  for (DWORD y = 0; y < lock.Desc.dwHeight; ++y) {
    uint8_t* out = image.Row(static_cast<int32_t>(y));
    const uint8_t* in = lock.Row(y);
    for (DWORD x = 0; x < lock.Desc.dwWidth; ++x) {
      const uint32_t p = LoadPixel(in + x * f.Bytes, f.Bytes);
      out[x * 4 + 0] = f.B.Get(p, 0);
      out[x * 4 + 1] = f.G.Get(p, 0);
      out[x * 4 + 2] = f.R.Get(p, 0);
      out[x * 4 + 3] = f.A.Get(p, 255);
    }
  }
  return true;
}
