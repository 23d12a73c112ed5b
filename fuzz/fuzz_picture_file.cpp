// The picture loader by file extension. The first byte picks the extension the rest of
// the input is saved under, so one target reaches every decoder and the refusals.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "image/pixel_image.h"

namespace {

// New entries go at the end, so that the kept inputs keep their extensions.
constexpr const char* Extensions[] = {".bmp",  ".dib",     ".jpg",  ".JPEG", ".jpe",
                                      ".jfif", ".png",     ".PnG",  ".gif",  ".tif",
                                      "",      ".png.bmp", ".TIFF", ".webp", ".ico"};
constexpr size_t ExtensionCount = sizeof Extensions / sizeof Extensions[0];

bool Known(const std::string& extension) {
  return extension != ".ico" && !extension.empty();
}

std::string TempFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vesperine-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    FUZZ_CHECK(made != nullptr);
    static std::string made_folder = made;
    std::atexit([] { rmdir(made_folder.c_str()); });
    return made_folder;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string extension = Extensions[data[0] % ExtensionCount];
  const std::string path = TempFolder() + "/picture" + extension;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(std::fwrite(data + 1, 1, size - 1, file) == size - 1);
  std::fclose(file);

  try {
    const PixelImage image = LoadPictureFile(path);
    FUZZ_CHECK(Known(extension));
    FUZZ_CHECK(image.Width() > 0 && image.Height() > 0);
    FUZZ_CHECK(image.BitCount() == 8 || image.BitCount() == 24 || image.BitCount() == 32);
  } catch (const PictureError& error) {
    // An extension the loader does not know is refused by name, before reading.
    const std::string text = error.what();
    if (!Known(extension)) {
      FUZZ_CHECK(text.find("Unknown picture file extension") != std::string::npos);
    }
  }
  std::remove(path.c_str());
  return 0;
}
