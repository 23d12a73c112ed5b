#include "gdiplus/win/tint_bitmap.h"

#include <gtest/gtest.h>

#include "gdiplus_test_support.h"

namespace {

uint32_t AlphaRamp(int x, int y) {
  return static_cast<uint32_t>((x * 40 + y * 7) & 0xFF) << 24 | 0x00FFFFFFu;
}

TEST(TintBitmap, RepaintsARealBitmapAndKeepsEveryAlpha) {
  TGPBitmap bitmap(7, 5, PixelFormat32bppARGB);
  FillPixels(bitmap, AlphaRamp);  // (0, 0) is fully clear
  ASSERT_TRUE(TintBitmap(bitmap, 255, 0, 0));
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(PixelAt(bitmap, x, y), (AlphaRamp(x, y) & 0xFF000000u) | 0xFF0000u)
          << x << "," << y;
    }
  }
  FillPixels(bitmap, [](int, int) { return 0x80FFFFFFu; });
  ASSERT_TRUE(TintBitmap(bitmap, 0x1234, 0x0156, 0xFF78));
  EXPECT_EQ(PixelAt(bitmap, 6, 4), 0x80345678u) << "only the low byte of each value counts";
}

TEST(TintBitmap, FailsForABitmapWithoutAnImage) {
  TGPBitmap empty;
  EXPECT_FALSE(TintBitmap(empty, 1, 2, 3));
  TGPBitmap zeroSized(0, 0, PixelFormat32bppARGB);
  EXPECT_FALSE(zeroSized.HoldsImage());
  EXPECT_FALSE(TintBitmap(zeroSized, 1, 2, 3));
}

TEST(GdiplusObjects, DrawingWithoutAnImageDrawsNothingAndRecordsTheFailure) {
  TGPBitmap target(4, 4, PixelFormat32bppARGB);
  TGPGraphics graphics(&target);
  ASSERT_TRUE(graphics.Usable());
  graphics.Clear(0xFF102030u);
  TGPBitmap empty;
  EXPECT_NE(graphics.DrawImage(&empty, 0, 0, 4, 4), Gdiplus::Ok);
  EXPECT_NE(graphics.DrawImage(nullptr, Gdiplus::Rect(0, 0, 4, 4), 0, 0, 4, 4, Gdiplus::UnitPixel),
            Gdiplus::Ok);
  EXPECT_NE(graphics.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(graphics.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality), Gdiplus::Ok)
      << "a failure does not spoil the context for the calls after it";
  EXPECT_EQ(PixelAt(target, 2, 2), 0xFF102030u);

  TGPGraphics onNothing(&empty);
  EXPECT_FALSE(onNothing.Usable());
  EXPECT_NE(onNothing.DrawImage(&target, 0, 0, 2, 2), Gdiplus::Ok);
}

}  // namespace
