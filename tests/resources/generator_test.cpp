// The generator run as a program: it reproduces the committed files exactly, and it
// fails with a message, not a crash, on pictures it cannot read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "decoded_picture.h"

namespace fs = std::filesystem;

namespace {

class ScratchDir {
 public:
  ScratchDir()
      : Path(fs::temp_directory_path() / ("vesperine-resources-" + std::to_string(getpid()))) {
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~ScratchDir() { fs::remove_all(Path); }
  std::string operator/(const std::string& name) const { return (Path / name).string(); }
  const fs::path Path;
};

int RunGenerator(const std::string& args) {
  std::string command = std::string("\"") + MAKE_RESOURCES_EXE + "\" " + args + " 2>/dev/null";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& s) {
  return "\"" + s + "\"";
}

}  // namespace

TEST(Generator, ReproducesEveryCommittedFileByteForByte) {
  ScratchDir out;
  ASSERT_EQ(RunGenerator(Quoted(out.Path.string())), 0);
  for (const char* name :
       {"BALL.png", "BALL1.png", "BALL2.png", "MASK1.png", "BACK.jpg", "vesperine.ico"}) {
    std::vector<uint8_t> made = ReadFileBytes(out / name);
    std::vector<uint8_t> committed = ReadFileBytes(ResourcePath(name));
    if (made == committed) continue;
    ADD_FAILURE() << name
                  << " differs from the generator's output; run the regenerate-resources "
                     "target and commit the result";
    std::string file = name;
    if (file.ends_with(".png")) {
      EXPECT_EQ(DecodePngFile(out / name).Samples, DecodePngFile(ResourcePath(name)).Samples)
          << name << ": the pixels differ too";
    } else if (file.ends_with(".jpg")) {
      EXPECT_EQ(DecodeJpegFile(out / name).Rgb, DecodeJpegFile(ResourcePath(name)).Rgb)
          << name << ": the pixels differ too";
    }
  }
}

TEST(Generator, ComposesAnOpaqueScreenSizedPreviewFromThePictures) {
  ScratchDir out;
  ASSERT_EQ(RunGenerator("--compose " + Quoted(out / "preview.png") + " " +
                         Quoted(VESPERINE_SOURCE_DIR "/resources")),
            0);
  DecodedPng preview = DecodePngFile(out / "preview.png");
  EXPECT_EQ(preview.Width, 800u);
  EXPECT_EQ(preview.Height, 600u);
  ASSERT_EQ(preview.Channels, 4);
  for (uint32_t y = 0; y < preview.Height; y += 7) {
    for (uint32_t x = 0; x < preview.Width; x += 7) {
      ASSERT_EQ(preview.Alpha(static_cast<int>(x), static_cast<int>(y)), 255);
    }
  }
}

TEST(Generator, ExitsWithAnErrorOnMissingOrCorruptPictures) {
  ScratchDir dir;
  EXPECT_EQ(RunGenerator("--compose " + Quoted(dir / "p.png") + " " + Quoted(dir / "none")), 1);
  for (const char* name : {"BALL.png", "BALL1.png", "BALL2.png", "BACK.jpg"}) {
    fs::copy_file(ResourcePath(name), dir / name);
  }
  // Cut the body picture off in the middle of its image data.
  fs::resize_file(dir / "BALL.png", fs::file_size(dir / "BALL.png") / 2);
  EXPECT_EQ(RunGenerator("--compose " + Quoted(dir / "p.png") + " " + Quoted(dir.Path.string())),
            1);
  std::ofstream(dir / "BALL.png", std::ios::binary | std::ios::trunc) << "not a picture";
  EXPECT_EQ(RunGenerator("--compose " + Quoted(dir / "p.png") + " " + Quoted(dir.Path.string())),
            1);
  fs::copy_file(ResourcePath("BALL.png"), dir / "BALL.png", fs::copy_options::overwrite_existing);
  fs::resize_file(dir / "BACK.jpg", 600);
  EXPECT_EQ(RunGenerator("--compose " + Quoted(dir / "p.png") + " " + Quoted(dir.Path.string())),
            1);
}

TEST(Generator, RefusesAnUnknownOption) {
  EXPECT_EQ(RunGenerator("--bogus"), 2);
}
