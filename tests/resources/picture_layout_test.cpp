// The committed pictures against the layout the renderers rely on: sizes and formats,
// colour, where alpha must be zero, and the alpha profile of each layer.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "decoded_picture.h"

namespace {

constexpr int Side = 256;

// Mean alpha over the pixels whose distance from the centre rounds to each radius.
std::array<double, 182> RadialAlpha(const DecodedPng& png) {
  std::array<double, 182> sum{}, count{};
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      auto r = static_cast<size_t>(std::lround(LayerRadius(x, y)));
      sum[r] += png.Alpha(x, y);
      count[r] += 1;
    }
  }
  for (size_t r = 0; r < sum.size(); ++r) sum[r] /= std::max(count[r], 1.0);
  return sum;
}

// Every pixel outside [low, high] in x or y has alpha 0; returns the first offender.
std::string FirstAlphaOutside(const DecodedPng& png, int low, int high) {
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      bool outside = x < low || x > high || y < low || y > high;
      if (outside && png.Alpha(x, y) != 0) {
        return "alpha " + std::to_string(png.Alpha(x, y)) + " at " + std::to_string(x) + "," +
               std::to_string(y);
      }
    }
  }
  return "";
}

bool EveryColourIs(const DecodedPng& png, uint8_t value) {
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      for (int c = 0; c + 1 < png.Channels; ++c) {
        if (png.At(x, y)[c] != value) return false;
      }
    }
  }
  return true;
}

void ExpectLayerFormat(const DecodedPng& png, int colorType) {
  EXPECT_EQ(png.Width, 256u);
  EXPECT_EQ(png.Height, 256u);
  EXPECT_EQ(png.ColorType, colorType);
  EXPECT_EQ(png.BitDepth, 8);
  EXPECT_EQ(png.Interlace, PNG_INTERLACE_NONE);
}

}  // namespace

TEST(BodyPicture, IsA256PixelWhiteGreyAlphaPictureClearOutsideItsRim) {
  DecodedPng body = DecodePngFile(ResourcePath("BALL.png"));
  ExpectLayerFormat(body, 4);
  EXPECT_TRUE(EveryColourIs(body, 255));
  EXPECT_EQ(FirstAlphaOutside(body, 17, 238), "");
}

TEST(BodyPicture, IsNearlyClearInsideAndPeaksAtARimNearRadius104To111) {
  DecodedPng body = DecodePngFile(ResourcePath("BALL.png"));
  int maxAlpha = 0;
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      maxAlpha = std::max<int>(maxAlpha, body.Alpha(x, y));
      if (LayerRadius(x, y) < 70) {
        ASSERT_LE(body.Alpha(x, y), 3) << x << "," << y;
        ASSERT_GE(body.Alpha(x, y), 1) << x << "," << y;
      }
    }
  }
  EXPECT_LE(maxAlpha, 184);
  EXPECT_GE(maxAlpha, 150);
  auto profile = RadialAlpha(body);
  auto peak = std::max_element(profile.begin(), profile.end()) - profile.begin();
  EXPECT_GE(peak, 104);
  EXPECT_LE(peak, 111);
  EXPECT_LT(profile[80], profile[95]);
  EXPECT_LT(profile[95], profile[102]);
  EXPECT_LT(profile[102], profile[static_cast<size_t>(peak)]);
}

TEST(HighlightPicture, IsA256PixelWhiteGreyAlphaPictureClearOutsideItsRim) {
  DecodedPng light = DecodePngFile(ResourcePath("BALL1.png"));
  ExpectLayerFormat(light, 4);
  EXPECT_TRUE(EveryColourIs(light, 255));
  EXPECT_EQ(FirstAlphaOutside(light, 18, 237), "");
}

TEST(HighlightPicture, IsBrightestInACrescentAtTheUpperLeftOfTheRim) {
  DecodedPng light = DecodePngFile(ResourcePath("BALL1.png"));
  int brightest = -1, bx = 0, by = 0, lowerRight = 0;
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      int a = light.Alpha(x, y);
      if (a > brightest) brightest = a, bx = x, by = y;
      if (x > 140 && y > 140) lowerRight = std::max(lowerRight, a);
    }
  }
  EXPECT_GE(brightest, 250);
  EXPECT_LT(bx, 110);
  EXPECT_LT(by, 110);
  EXPECT_GT(LayerRadius(bx, by), 85);
  // The reflection opposite is there, but fainter.
  EXPECT_GT(lowerRight, 20);
  EXPECT_LT(lowerRight, brightest * 6 / 10);
}

TEST(HighlightPicture, LeavesMostOfTheInsideClear) {
  DecodedPng light = DecodePngFile(ResourcePath("BALL1.png"));
  int inside = 0, clear = 0;
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      if (LayerRadius(x, y) >= 90) continue;
      ++inside;
      clear += light.Alpha(x, y) == 0;
    }
  }
  EXPECT_GT(clear, inside * 8 / 10);
}

TEST(ShadowPicture, IsA256PixelBlackRgbaPictureClearOutsideItsPenumbra) {
  DecodedPng shadow = DecodePngFile(ResourcePath("BALL2.png"));
  ExpectLayerFormat(shadow, 6);
  EXPECT_TRUE(EveryColourIs(shadow, 0));
  EXPECT_EQ(FirstAlphaOutside(shadow, 12, 243), "");
}

TEST(ShadowPicture, HoldsAlphaAbout33ToRadius80AndFadesToNothingBy120) {
  DecodedPng shadow = DecodePngFile(ResourcePath("BALL2.png"));
  for (int y = 0; y < Side; ++y) {
    for (int x = 0; x < Side; ++x) {
      double r = LayerRadius(x, y);
      if (r <= 79) {
        ASSERT_NEAR(shadow.Alpha(x, y), 33, 1) << x << "," << y;
      } else if (r >= 120) {
        ASSERT_EQ(shadow.Alpha(x, y), 0) << x << "," << y;
      }
    }
  }
  auto profile = RadialAlpha(shadow);
  for (size_t r = 80; r < 120; ++r) EXPECT_LE(profile[r + 1], profile[r] + 0.01) << r;
  EXPECT_LT(profile[100], 25);
  EXPECT_GT(profile[100], 8);
}

TEST(MaskPicture, IsA256PixelWhiteRgbaPictureOpaqueInside) {
  DecodedPng mask = DecodePngFile(ResourcePath("MASK1.png"));
  ExpectLayerFormat(mask, 6);
  EXPECT_TRUE(EveryColourIs(mask, 255));
  for (int y = 24; y < Side - 24; ++y) {
    for (int x = 24; x < Side - 24; ++x) ASSERT_EQ(mask.Alpha(x, y), 255) << x << "," << y;
  }
}

TEST(MaskPicture, FallsOffSmoothlyToNearlyClearAtEveryEdgeAndSofterAtTheCorners) {
  DecodedPng mask = DecodePngFile(ResourcePath("MASK1.png"));
  for (int i = 0; i < Side; ++i) {
    EXPECT_LE(mask.Alpha(i, 0), 16);
    EXPECT_LE(mask.Alpha(i, Side - 1), 16);
    EXPECT_LE(mask.Alpha(0, i), 16);
    EXPECT_LE(mask.Alpha(Side - 1, i), 16);
  }
  // From each edge towards the middle the alpha only rises, in small steps.
  for (int i = 0; i < 24; ++i) {
    EXPECT_LE(mask.Alpha(i, 128), mask.Alpha(i + 1, 128));
    EXPECT_LE(mask.Alpha(Side - 1 - i, 128), mask.Alpha(Side - 2 - i, 128));
    EXPECT_LE(mask.Alpha(128, i), mask.Alpha(128, i + 1));
    EXPECT_LE(mask.Alpha(128, Side - 1 - i), mask.Alpha(128, Side - 2 - i));
    EXPECT_LE(mask.Alpha(i + 1, 128) - mask.Alpha(i, 128), 24) << i;
  }
  EXPECT_LT(mask.Alpha(12, 12), mask.Alpha(12, 128));
  EXPECT_LT(mask.Alpha(243, 243), mask.Alpha(243, 128));
}

TEST(BackgroundPicture, IsA2560By1440BaselineJfifJpegOfThreeEightBitComponents) {
  DecodedJpeg back = DecodeJpegFile(ResourcePath("BACK.jpg"));
  EXPECT_EQ(back.Width, 2560);
  EXPECT_EQ(back.Height, 1440);
  EXPECT_EQ(back.Components, 3);
  EXPECT_EQ(back.Precision, 8);
  EXPECT_TRUE(back.SawJfif);
  EXPECT_FALSE(back.Progressive);
  // Baseline means a SOF0 frame header, not an extended (SOF1) one.
  std::vector<uint8_t> bytes = ReadFileBytes(ResourcePath("BACK.jpg"));
  bool sof0 = false;
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xff && bytes[i + 1] == 0xc1) ADD_FAILURE() << "extended sequential frame";
    sof0 |= bytes[i] == 0xff && bytes[i + 1] == 0xc0;
  }
  EXPECT_TRUE(sof0);
}

TEST(BackgroundPicture, HasDetailAcrossEveryRegionAndABrightSunRatherThanAPlainGradient) {
  DecodedJpeg back = DecodeJpegFile(ResourcePath("BACK.jpg"));
  auto luma = [&](int x, int y) {
    const uint8_t* p = back.Rgb.data() + (static_cast<size_t>(y) * back.Width + x) * 3;
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
  };
  // Mean horizontal variation of luma, in 3 x 3 tiles: a gradient (or a flat fill)
  // has none, and the grain alone gives well under one level per step.
  const int step = back.Width / 68;
  for (int ty = 0; ty < 3; ++ty) {
    for (int tx = 0; tx < 3; ++tx) {
      double sum = 0;
      int n = 0;
      int y0 = ty * back.Height / 3, y1 = (ty + 1) * back.Height / 3;
      int x0 = tx * back.Width / 3, x1 = (tx + 1) * back.Width / 3;
      for (int y = y0; y < y1; ++y) {
        // Differences a 68th of the width apart, so structure counts more than grain.
        for (int x = x0; x + step < x1; ++x, ++n) sum += std::abs(luma(x + step, y) - luma(x, y));
      }
      EXPECT_GT(sum / n, 1.5) << "tile " << tx << "," << ty;
    }
  }
  double brightest = 0, darkest = 255;
  for (int y = 0; y < back.Height; ++y) {
    for (int x = 0; x < back.Width; ++x) {
      brightest = std::max(brightest, luma(x, y));
      darkest = std::min(darkest, luma(x, y));
    }
  }
  EXPECT_GT(brightest, 235);
  EXPECT_LT(darkest, 70);
}

namespace {

struct Box {
  int Left = 0, Top = -1, Right = 0, Bottom = -1;  // right and bottom exclusive
};

// The first band of rows from the top where the blue channel reaches the threshold: the
// sun's disc, whose blue stands far above its warm glow's. Its glitter on the sea lies
// below a band of rows without.
Box SunBox(const DecodedJpeg& picture, int threshold) {
  Box box{picture.Width};
  for (int y = 0; y < picture.Height; ++y) {
    const uint8_t* row = picture.Rgb.data() + static_cast<size_t>(y) * picture.Width * 3;
    bool any = false;
    for (int x = 0; x < picture.Width; ++x) {
      if (row[x * 3 + 2] < threshold) continue;
      any = true;
      box.Left = std::min(box.Left, x);
      box.Right = std::max(box.Right, x + 1);
    }
    if (any && box.Top < 0) box.Top = y;
    if (any) box.Bottom = y + 1;
    if (!any && box.Top >= 0) break;
  }
  return box;
}

}  // namespace

// A monitor of any shape from 21:9 to 9:16 shows a centred cut of the picture: the sun
// must lie whole inside the narrowest and the flattest of them, and stay round.
TEST(BackgroundPicture, KeepsARoundSunWholeInsideEveryCentredCutFrom21By9To9By16) {
  DecodedJpeg back = DecodeJpegFile(ResourcePath("BACK.jpg"));
  const Box sun = SunBox(back, 175);
  const int width = sun.Right - sun.Left, height = sun.Bottom - sun.Top;
  ASSERT_GT(width, back.Width / 60) << "no sun found";
  EXPECT_NEAR(static_cast<double>(width) / height, 1.0, 0.02) << width << " x " << height;
  const int portraitWidth = back.Height * 9 / 16;
  const int portraitLeft = (back.Width - portraitWidth) / 2;
  EXPECT_GT(sun.Left, portraitLeft);
  EXPECT_LT(sun.Right, portraitLeft + portraitWidth);
  const int wideHeight = back.Width * 9 / 21;
  const int wideTop = (back.Height - wideHeight) / 2;
  EXPECT_GT(sun.Top, wideTop);
  EXPECT_LT(sun.Bottom, wideTop + wideHeight);
}

TEST(ResourceFiles, AreEachWellUnder200KilobytesAndTheBackgroundUnder800) {
  for (const char* name : {"BALL.png", "BALL1.png", "BALL2.png", "MASK1.png", "vesperine.ico"}) {
    EXPECT_LT(std::filesystem::file_size(ResourcePath(name)), 150u * 1024) << name;
  }
  EXPECT_LT(std::filesystem::file_size(ResourcePath("BACK.jpg")), 800u * 1024);
}

namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + static_cast<size_t>(i));
  return v;
}

struct IconEntry {
  int Side = 0;
  size_t Offset = 0, Size = 0;
};

std::vector<IconEntry> IconEntries(const std::vector<uint8_t>& ico) {
  std::vector<IconEntry> entries;
  for (uint32_t i = 0; i < Le(ico, 4, 2); ++i) {
    size_t e = 6 + 16 * static_cast<size_t>(i);
    entries.push_back({static_cast<int>(ico.at(e)), Le(ico, e + 12, 4), Le(ico, e + 8, 4)});
  }
  return entries;
}

// BGRA of pixel (x, y), y counted from the top, in a 32-bit icon bitmap.
const uint8_t* IconPixel(const std::vector<uint8_t>& ico, const IconEntry& e, int x, int y) {
  return &ico.at(e.Offset + 40 + (static_cast<size_t>(e.Side - 1 - y) * e.Side + x) * 4);
}

bool IconMaskBit(const std::vector<uint8_t>& ico, const IconEntry& e, int x, int y) {
  size_t stride = (static_cast<size_t>(e.Side) + 31) / 32 * 4;
  size_t mask = e.Offset + 40 + static_cast<size_t>(e.Side) * e.Side * 4;
  uint8_t bits = ico.at(mask + static_cast<size_t>(e.Side - 1 - y) * stride + x / 8);
  return (bits >> (7 - x % 8)) & 1;
}

}  // namespace

TEST(IconFile, HoldsThe16_32And48PixelImagesAs32BitBitmaps) {
  std::vector<uint8_t> ico = ReadFileBytes(ResourcePath("vesperine.ico"));
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(Le(ico, 0, 2), 0u);
  EXPECT_EQ(Le(ico, 2, 2), 1u);  // an icon, not a cursor
  std::vector<IconEntry> entries = IconEntries(ico);
  ASSERT_EQ(entries.size(), 3u);
  size_t end = 6 + 16 * entries.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    const IconEntry& e = entries[i];
    constexpr int Sides[] = {16, 32, 48};
    EXPECT_EQ(e.Side, Sides[i]);
    size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico.at(entry + 1), e.Side);   // height
    EXPECT_EQ(Le(ico, entry + 6, 2), 32u);  // bits per pixel
    // Entries follow one another without gaps or overlaps, and end with the file.
    EXPECT_EQ(e.Offset, end);
    end = e.Offset + e.Size;
    size_t maskBytes = (static_cast<size_t>(e.Side) + 31) / 32 * 4 * e.Side;
    EXPECT_EQ(e.Size, 40 + static_cast<size_t>(e.Side) * e.Side * 4 + maskBytes);
    EXPECT_EQ(Le(ico, e.Offset, 4), 40u);
    EXPECT_EQ(Le(ico, e.Offset + 4, 4), static_cast<uint32_t>(e.Side));
    EXPECT_EQ(Le(ico, e.Offset + 8, 4), static_cast<uint32_t>(2 * e.Side));  // colour + mask
    EXPECT_EQ(Le(ico, e.Offset + 14, 2), 32u);
    EXPECT_EQ(Le(ico, e.Offset + 16, 4), 0u);  // uncompressed
  }
  EXPECT_EQ(end, ico.size());
}

TEST(IconFile, ShowsATintedBubbleOnATransparentGroundAtEverySize) {
  std::vector<uint8_t> ico = ReadFileBytes(ResourcePath("vesperine.ico"));
  for (const IconEntry& e : IconEntries(ico)) {
    int last = e.Side - 1, mid = e.Side / 2;
    for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
      EXPECT_EQ(IconPixel(ico, e, x, y)[3], 0) << e.Side;
    }
    const uint8_t* centre = IconPixel(ico, e, mid, mid);
    EXPECT_GT(centre[3], 60) << e.Side;
    EXPECT_GT(centre[0] - centre[2], 40) << "tinted, not grey, at " << e.Side;
    for (int y = 0; y < e.Side; ++y) {
      for (int x = 0; x < e.Side; ++x) {
        // The AND mask, for displays without alpha, cuts out exactly the clear pixels.
        ASSERT_EQ(IconMaskBit(ico, e, x, y), IconPixel(ico, e, x, y)[3] == 0)
            << e.Side << " at " << x << "," << y;
      }
    }
    // Anti-aliased: along the middle row the disc's edge ramps up instead of stepping.
    int first = 0;
    while (first < mid && IconPixel(ico, e, first, mid)[3] == 0) ++first;
    EXPECT_LT(IconPixel(ico, e, first, mid)[3], IconPixel(ico, e, first + 1, mid)[3]) << e.Side;
  }
}
