// Hostile pictures: sizes that would exhaust a 32-bit saver are refused before any
// pixel is allocated, and a very large photograph loads scaled to the screen.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/pixel_image.h"
#include "peak_memory.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t MiB = 1024 * 1024;
// Far below any refused picture's pixels, far above what reading a header costs.
constexpr size_t RefusalBudget = 16 * MiB;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

fs::path Corpus(const std::string& target, const std::string& name) {
  return fs::path(VESPERINE_SOURCE_DIR) / "fuzz" / target / name;
}

// Decodes and expects a PictureError naming the reason, within the refusal budget.
template <typename Decode>
void ExpectRefusedCheaply(Decode&& decode, const std::string& reason) {
  std::string message;
  const size_t growth = PeakGrowth([&] {
    try {
      decode();
    } catch (const PictureError& error) {
      message = error.what();
    }
  });
  ASSERT_FALSE(message.empty()) << "the picture was not refused";
  EXPECT_NE(message.find(reason), std::string::npos) << "message: " << message;
  EXPECT_LT(growth, RefusalBudget) << "grew by " << growth / MiB << " MiB";
}

class HostilePictures : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PeakMemory::Reset()) GTEST_SKIP() << "no resettable peak memory on this system";
  }
};

TEST_F(HostilePictures, AbsurdPngHeadersAndInflationBombsAreRefusedBeforeThePixels) {
  const Bytes huge = ReadFile(Corpus("corpus/fuzz_png", "header-100000x100000.png"));
  ExpectRefusedCheaply([&] { DecodePng(huge); }, "IHDR");
  // A few kilobytes that would inflate to a 16000 x 16000 picture (1 GiB as RGBA).
  const Bytes bomb = ReadFile(Corpus("corpus/fuzz_png", "inflates-to-1gib.png"));
  ASSERT_LT(bomb.size(), 64 * 1024u);
  ExpectRefusedCheaply([&] { PngToPixelImage(DecodePng(bomb)); }, "too large");
}

// Found by fuzzing: libpng only warns about an over-long ancillary chunk and then
// allocated and cleared the 2 GiB that 44 bytes of file claimed.
TEST_F(HostilePictures, APngChunkClaimingMoreThanTheFileIsRefusedUnallocated) {
  const Bytes file = ReadFile(Corpus("regressions/fuzz_png", "itxt-chunk-claims-2gib.png"));
  ASSERT_EQ(file.size(), 44u);
  ExpectRefusedCheaply([&] { DecodePng(file); }, "more than the file holds");
}

TEST_F(HostilePictures, AJpegFrameOf65500SquareIsRefusedBeforeThePixels) {
  const Bytes file = ReadFile(Corpus("corpus/fuzz_jpeg", "frame-65500x65500.jpg"));
  ExpectRefusedCheaply([&] { DecodeJpeg(file); }, "65500 x 65500");
  ExpectRefusedCheaply([&] { DecodeJpeg(file, 1024, 768); }, "65500 x 65500");
}

TEST_F(HostilePictures, GifTiffAndWebpSidesBeyondTheBoundsAreRefusedBeforeThePixels) {
  struct Case {
    const char* Seed;
    PixelImage (*Decode)(std::span<const uint8_t>);
  };
  for (const Case& c : {Case{"fuzz_gif/screen-20000x20000.gif", DecodeGif},
                        Case{"fuzz_gif/frame-20000x20000.gif", DecodeGif},
                        Case{"fuzz_tiff/sides-20000x20000.tif", DecodeTiff},
                        Case{"fuzz_webp/lossless-16383x16383.webp", DecodeWebp}}) {
    SCOPED_TRACE(c.Seed);
    const Bytes file = ReadFile(Corpus("corpus", c.Seed));
    ASSERT_FALSE(file.empty());
    ExpectRefusedCheaply([&] { c.Decode(file); }, "too large");
  }
}

TEST_F(HostilePictures, BmpHeightsHugeOrMostNegativeAreRefusedBeforeThePixels) {
  for (const char* name : {"height-huge.bmp", "height-most-negative.bmp"}) {
    const Bytes file = ReadFile(Corpus("corpus/fuzz_bmp", name));
    SCOPED_TRACE(name);
    ExpectRefusedCheaply([&] { DecodeBmp(file); }, "too large");
  }
}

// A flat-coloured baseline JPEG written row by row, so no test buffer holds its pixels.
void WriteLargeJpeg(const std::string& path, int width, int height) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 20, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (size_t i = 0; i < row.size(); i += 3) {
      row[i] = JSAMPLE(y * 255 / height);
      row[i + 1] = 90;
      row[i + 2] = 200;
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(out);
}

// An 8000 x 6000 photograph is 137 MiB of pixels at full size; as a background for a
// 1024 x 768 screen it decodes at a quarter of each side.
TEST_F(HostilePictures, AnEightThousandByEightThousandPhotographLoadsScaledToTheScreen) {
  const fs::path path = fs::temp_directory_path() / "vesperine-hostile-8000x6000.jpg";
  WriteLargeJpeg(path.string(), 8000, 6000);
  PixelImage background;
  const size_t growth = PeakGrowth([&] { background = LoadPictureFile(path.string(), 1024, 768); });
  fs::remove(path);
  EXPECT_EQ(background.Width(), 2000);
  EXPECT_EQ(background.Height(), 1500);
  EXPECT_LT(growth, 40 * MiB) << "grew by " << growth / MiB << " MiB";
  // The colours survive the scaling: the left column runs dark to light red.
  EXPECT_LT(background.Row(10)[2], 40);
  EXPECT_GT(background.Row(1490)[2], 200);
}

}  // namespace
