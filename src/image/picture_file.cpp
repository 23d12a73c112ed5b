// Picture files by name. Paths are the program's ANSI strings, so the C library opens them
// (fopen and stat take ANSI names on Windows, like the A functions of the rest).
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "image/pixel_image.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Windows paths use both separators; a dot in a folder's name is not an extension.
std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text after the last dot of the file name, without the dot; empty when none.
std::string Extension(const std::string& path) {
  const std::string name = FileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

// Windows opens these names (with any extension) as devices in every folder: CON would
// wait for console input, COM1 for a serial port. \\.\ paths name devices directly.
bool IsReservedDeviceName(const std::string& path) {
  if (path.starts_with("\\\\.\\") || path.starts_with("//./")) return true;  // \\.\name
  std::string stem = Lower(FileName(path));
  stem = stem.substr(0, stem.find('.'));
  while (!stem.empty() && (stem.back() == ' ')) stem.pop_back();
  static const std::array<const char*, 4> plain = {"con", "prn", "aux", "nul"};
  if (std::find_if(plain.begin(), plain.end(), [&](const char* n) { return stem == n; }) !=
      plain.end()) {
    return true;
  }
  return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

[[noreturn]] void FailFile(const std::string& path, const std::string& why) {
  throw PictureError("Cannot read the picture file \"" + path + "\": " + why);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path, uint64_t maxBytes) {
  if (IsReservedDeviceName(path)) FailFile(path, "it names a device");
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) FailFile(path, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) FailFile(path, "it is a folder");
  if (!S_ISREG(info.st_mode)) FailFile(path, "it is not a regular file");
  if (static_cast<uint64_t>(info.st_size) > maxBytes) {
    FailFile(path, "it is larger than " + std::to_string(maxBytes) + " bytes");
  }

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) FailFile(path, std::strerror(errno));
  std::vector<uint8_t> data;
  std::array<uint8_t, 65536> chunk;
  // The size is checked again while reading: the file may grow after stat.
  while (size_t count = std::fread(chunk.data(), 1, chunk.size(), file.get())) {
    if (data.size() + count > maxBytes) {
      FailFile(path, "it is larger than " + std::to_string(maxBytes) + " bytes");
    }
    data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(count));
  }
  if (std::ferror(file.get())) FailFile(path, "a read failed");
  return data;
}

// Extensions decide the decoder, as they always have. New since GIF, TIFF and WebP were
// added: a file whose content does not start with its extension's signature but with
// another known one (a PNG saved as .jpg) is decoded by its content.
namespace {

// In the order of PictureFileKinds().
enum class PictureFormat { Bmp, Jpeg, Png, Gif, Tiff, Webp };

constexpr std::string_view BmpExtensions[] = {"bmp", "dib"};
constexpr std::string_view JpegExtensions[] = {"jpg", "jpeg", "jpe", "jfif"};
constexpr std::string_view PngExtensions[] = {"png"};
constexpr std::string_view GifExtensions[] = {"gif"};
constexpr std::string_view TiffExtensions[] = {"tif", "tiff"};
constexpr std::string_view WebpExtensions[] = {"webp"};

constexpr PictureFileKind Kinds[] = {
    {"Bitmaps", BmpExtensions},        {"JPEG pictures", JpegExtensions},
    {"PNG pictures", PngExtensions},   {"GIF pictures", GifExtensions},
    {"TIFF pictures", TiffExtensions}, {"WebP pictures", WebpExtensions},
};

std::optional<PictureFormat> FormatOfExtension(const std::string& key) {
  for (size_t kind = 0; kind < std::size(Kinds); ++kind) {
    for (const std::string_view extension : Kinds[kind].Extensions) {
      if (key == extension) return static_cast<PictureFormat>(kind);
    }
  }
  return std::nullopt;
}

bool StartsWith(std::span<const uint8_t> data, std::string_view prefix, size_t at = 0) {
  return data.size() >= at + prefix.size() &&
         std::memcmp(data.data() + at, prefix.data(), prefix.size()) == 0;
}

// The signatures each decoder checks first.
bool HasSignatureOf(PictureFormat format, std::span<const uint8_t> data) {
  using namespace std::string_view_literals;
  switch (format) {
    case PictureFormat::Bmp:
      return StartsWith(data, "BM"sv);
    case PictureFormat::Jpeg:
      return StartsWith(data, "\xFF\xD8"sv);
    case PictureFormat::Png:
      return StartsWith(data, "\x89PNG\r\n\x1A\n"sv);
    case PictureFormat::Gif:
      return StartsWith(data, "GIF87a"sv) || StartsWith(data, "GIF89a"sv);
    case PictureFormat::Tiff:
      return StartsWith(data, "II*\0"sv) || StartsWith(data, "MM\0*"sv) ||
             StartsWith(data, "II+\0"sv) || StartsWith(data, "MM\0+"sv);
    case PictureFormat::Webp:
      return StartsWith(data, "RIFF"sv) && StartsWith(data, "WEBP"sv, 8);
  }
  return false;
}

PictureFormat FormatToDecode(PictureFormat byExtension, std::span<const uint8_t> data) {
  if (HasSignatureOf(byExtension, data)) return byExtension;
  for (size_t kind = 0; kind < std::size(Kinds); ++kind) {
    const auto format = static_cast<PictureFormat>(kind);
    if (HasSignatureOf(format, data)) return format;
  }
  // Nothing known: the extension's decoder names what is wrong.
  return byExtension;
}

PixelImage Decode(PictureFormat format, std::span<const uint8_t> data, int32_t minWidth,
                  int32_t minHeight) {
  switch (format) {
    case PictureFormat::Bmp:
      return DecodeBmp(data);
    case PictureFormat::Jpeg:
      return DecodeJpeg(data, minWidth, minHeight);
    case PictureFormat::Png:
      return PngToPixelImage(DecodePng(data));
    case PictureFormat::Gif:
      return DecodeGif(data);
    case PictureFormat::Tiff:
      return DecodeTiff(data);
    case PictureFormat::Webp:
      return DecodeWebp(data);
  }
  throw PictureError("Unknown picture format");
}

}  // namespace

std::span<const PictureFileKind> PictureFileKinds() {
  return Kinds;
}

PixelImage LoadPictureFile(const std::string& path, int32_t minWidth, int32_t minHeight) {
  const std::string extension = Extension(path);
  const std::optional<PictureFormat> format = FormatOfExtension(Lower(extension));
  if (!format) throw PictureError("Unknown picture file extension (." + extension + ")");
  const std::vector<uint8_t> data = ReadWholeFile(path);
  return Decode(FormatToDecode(*format, data), data, minWidth, minHeight);
}
