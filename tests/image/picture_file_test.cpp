#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "image/pixel_image.h"
#include "sample_pictures.h"

namespace fs = std::filesystem;

namespace {

class PictureFiles : public testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() /
             ("vesperine-image-" +
              std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  void TearDown() override { fs::remove_all(Folder); }

  std::string Write(const std::string& name, const Bytes& data) {
    const fs::path path = Folder / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    return path.string();
  }

  fs::path Folder;
};

std::string ErrorOf(auto&& call) {
  try {
    call();
  } catch (const PictureError& error) {
    return error.what();
  }
  return "no error";
}

TEST_F(PictureFiles, EachExtensionInAnyCaseChoosesItsDecoder) {
  const Bytes jpeg = FlatJpeg(8, 8, 0, 0, 0);
  const Bytes png = EncodePng({1, 1, 8, 4, false, {255, 9}});
  PixelImage small;
  small.SetSize(3, 2, 24);
  const Bytes bmp = EncodeBmp(small);
  const Bytes gif =
      EncodeGif({4, 1, 0, 0, 4, 1, {0, 0, 0, 9, 9, 9}, false, -1, false, Bytes(4, 1)});
  const Bytes tiff = EncodeTiff({5, 1, 1, 1, false, 1, false, Bytes(5, 7)});
  WebpSample webpSample{6, 1, Bytes(24, 255), true};
  const Bytes webp = EncodeWebp(webpSample);
  for (const auto& [name, data, width] : {std::tuple{"a.jpg", jpeg, 8},
                                          {"b.JPEG", jpeg, 8},
                                          {"c.Jpe", jpeg, 8},
                                          {"d.jfif", jpeg, 8},
                                          {"e.PNG", png, 1},
                                          {"f.bmp", bmp, 3},
                                          {"g.DIB", bmp, 3},
                                          {"h.Gif", gif, 4},
                                          {"i.tif", tiff, 5},
                                          {"j.TIFF", tiff, 5},
                                          {"k.webp", webp, 6}}) {
    EXPECT_EQ(LoadPictureFile(Write(name, data)).Width(), width) << name;
  }
  EXPECT_EQ(LoadPictureFile(Write("h.png", png)).BitCount(), 32);
}

// The extension decides, unless the content starts with another known format's signature.
TEST_F(PictureFiles, AMislabelledFileIsDecodedByItsContent) {
  const Bytes png = EncodePng({2, 1, 8, 2, false, {255, 0, 0, 0, 0, 255}});
  const Bytes jpeg = FlatJpeg(8, 8, 0, 0, 0);
  const Bytes gif =
      EncodeGif({3, 1, 0, 0, 3, 1, {0, 0, 0, 9, 9, 9}, false, -1, false, Bytes(3, 0)});
  struct Case {
    const char* Name;
    Bytes Data;
    int32_t Width;  // 0: an error naming Format
    const char* Format;
  };
  const Case cases[] = {
      {"photo.png.bmp", png, 2, ""},
      {"photo.jpg", png, 2, ""},
      {"photo.png", jpeg, 8, ""},
      {"animation.webp", gif, 3, ""},
      {"scan.tif", jpeg, 8, ""},
      {"unknown.jpg", Bytes(40, 'x'), 0, "JPEG"},
      {"unknown.gif", Bytes(40, 'x'), 0, "GIF"},
      {"cut.png", Bytes(png.begin(), png.begin() + 20), 0, "PNG"},
  };
  for (const Case& c : cases) {
    const std::string path = Write(c.Name, c.Data);
    if (c.Width) {
      EXPECT_EQ(LoadPictureFile(path).Width(), c.Width) << c.Name;
    } else {
      EXPECT_NE(ErrorOf([&] { LoadPictureFile(path); }).find(c.Format), std::string::npos)
          << c.Name;
    }
  }
}

TEST_F(PictureFiles, OtherExtensionsGiveTheUnknownExtensionMessage) {
  EXPECT_EQ(ErrorOf([] { LoadPictureFile("C:\\pictures\\cat.Ico"); }),
            "Unknown picture file extension (.Ico)");
  EXPECT_EQ(ErrorOf([] { LoadPictureFile("C:\\my.pictures\\cat"); }),
            "Unknown picture file extension (.)");
  EXPECT_EQ(ErrorOf([] { LoadPictureFile("/home/me/my.pictures/cat"); }),
            "Unknown picture file extension (.)");
  EXPECT_EQ(ErrorOf([] { LoadPictureFile("cat."); }), "Unknown picture file extension (.)");
  EXPECT_EQ(ErrorOf([] { LoadPictureFile("archive.tar.gz"); }),
            "Unknown picture file extension (.gz)");
}

TEST_F(PictureFiles, MissingFoldersDevicesAndOversizedFilesAreRefused) {
  EXPECT_NE(ErrorOf([&] { ReadWholeFile((Folder / "missing.png").string()); }).find("missing.png"),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] { ReadWholeFile(Folder.string()); }).find("folder"), std::string::npos);
  EXPECT_NE(ErrorOf([] { ReadWholeFile("NUL"); }).find("device"), std::string::npos);
  EXPECT_NE(ErrorOf([] { ReadWholeFile("\\\\.\\PhysicalDrive0"); }).find("device"),
            std::string::npos);
  const std::string serial = Write("com1.png", {1, 2, 3});
  EXPECT_NE(ErrorOf([&] { ReadWholeFile(serial); }).find("device"), std::string::npos);
  const std::string tenBytes = Write("ten.bmp", Bytes(10, 7));
  EXPECT_EQ(ReadWholeFile(tenBytes, 10), Bytes(10, 7));
  EXPECT_NE(ErrorOf([&] { ReadWholeFile(tenBytes, 9); }).find("larger than 9 bytes"),
            std::string::npos);
  if (fs::exists("/dev/zero")) {
    EXPECT_NE(ErrorOf([] { ReadWholeFile("/dev/zero"); }).find("not a regular file"),
              std::string::npos);
  }
}

TEST(BuiltInPictures, ResourcePicturesDecodeWithTheirSizesAndColourTypes) {
  const fs::path folder = fs::path(VESPERINE_SOURCE_DIR) / "resources";
  if (!fs::exists(folder / "BALL.png")) GTEST_SKIP() << "no resources/*.png yet";
  for (const auto& [name, colorType] :
       {std::pair{"BALL.png", 4}, {"BALL1.png", 4}, {"BALL2.png", 6}, {"MASK1.png", 6}}) {
    const PngPicture png = DecodePng(ReadWholeFile((folder / name).string()));
    EXPECT_EQ(png.Width, 256u) << name;
    EXPECT_EQ(png.Height, 256u) << name;
    EXPECT_EQ(png.ColorType, colorType) << name;
    EXPECT_TRUE(PngToPixelImage(png).HasAlpha()) << name;
  }
  if (fs::exists(folder / "BACK.jpg")) {
    const PixelImage back = LoadPictureFile((folder / "BACK.jpg").string());
    EXPECT_EQ(back.Width(), 2560);
    EXPECT_EQ(back.Height(), 1440);
  }
}

}  // namespace
