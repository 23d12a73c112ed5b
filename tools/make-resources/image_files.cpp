#include "image_files.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>

// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

namespace art {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File Open(const std::string& path, const char* mode) {
  File f(std::fopen(path.c_str(), mode));
  if (!f) throw FileError("cannot open " + path);
  return f;
}

// libpng and libjpeg report errors by longjmp; each call site sets its jump point in a
// function whose locals after it are trivially destructible, then throws.
void PngErrorExit(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  *text = message;
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

struct PngWriter {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  std::string Error;
  PngWriter() {
    Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Error, PngErrorExit, PngWarning);
    if (Png) Info = png_create_info_struct(Png);
    if (!Info) throw FileError("libpng: out of memory");
  }
  ~PngWriter() { png_destroy_write_struct(&Png, &Info); }
};

struct PngReader {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  std::string Error;
  PngReader() {
    Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Error, PngErrorExit, PngWarning);
    if (Png) Info = png_create_info_struct(Png);
    if (!Info) throw FileError("libpng: out of memory");
  }
  ~PngReader() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

bool WritePngRows(PngWriter& w, FILE* file, const Picture& picture) {
  if (setjmp(png_jmpbuf(w.Png))) return false;
  png_init_io(w.Png, file);
  int type = picture.Channels == 2 ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_RGBA;
  png_set_IHDR(w.Png, w.Info, static_cast<png_uint_32>(picture.Width),
               static_cast<png_uint_32>(picture.Height), 8, type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(w.Png, 9);
  png_write_info(w.Png, w.Info);
  for (int y = 0; y < picture.Height; ++y) png_write_row(w.Png, picture.At(0, y));
  png_write_end(w.Png, nullptr);
  return true;
}

bool ReadPngRows(PngReader& r, FILE* file, Picture& picture, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(r.Png))) return false;
  png_init_io(r.Png, file);
  png_read_info(r.Png, r.Info);
  png_set_expand(r.Png);
  png_set_strip_16(r.Png);
  png_set_gray_to_rgb(r.Png);
  png_set_add_alpha(r.Png, 0xff, PNG_FILLER_AFTER);
  png_set_interlace_handling(r.Png);
  png_read_update_info(r.Png, r.Info);
  picture = Picture(static_cast<int>(png_get_image_width(r.Png, r.Info)),
                    static_cast<int>(png_get_image_height(r.Png, r.Info)), 4);
  if (png_get_rowbytes(r.Png, r.Info) != static_cast<size_t>(picture.Width) * 4) {
    r.Error = "unexpected row layout";
    return false;
  }
  rows.resize(static_cast<size_t>(picture.Height));
  for (int y = 0; y < picture.Height; ++y) rows[static_cast<size_t>(y)] = picture.At(0, y);
  png_read_image(r.Png, rows.data());
  png_read_end(r.Png, nullptr);
  return true;
}

struct JpegErrorTrap {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
  info->err->format_message(info, trap->Message);
  std::longjmp(trap->Jump, 1);
}

// libjpeg only warns about corrupt or truncated data and pads the picture with grey; a
// tool that composes from these files must not quietly use such a picture.
void JpegWarningIsError(j_common_ptr info, int level) {
  if (level < 0) JpegErrorExit(info);
}

}  // namespace

void WritePng(const std::string& path, const Picture& picture) {
  if (picture.Channels != 2 && picture.Channels != 4) throw FileError("PNG needs alpha: " + path);
  File file = Open(path, "wb");
  PngWriter writer;
  if (!WritePngRows(writer, file.get(), picture)) {
    throw FileError("libpng: " + writer.Error + " writing " + path);
  }
  if (std::fflush(file.get()) != 0) throw FileError("cannot write " + path);
}

void WriteJpeg(const std::string& path, const Picture& picture, int quality) {
  if (picture.Channels != 3) throw FileError("JPEG needs RGB: " + path);
  File file = Open(path, "wb");
  jpeg_compress_struct info{};
  JpegErrorTrap trap{};
  info.err = jpeg_std_error(&trap.Manager);
  trap.Manager.error_exit = JpegErrorExit;
  if (setjmp(trap.Jump)) {
    jpeg_destroy_compress(&info);
    throw FileError(std::string("libjpeg: ") + trap.Message);
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file.get());
  info.image_width = static_cast<JDIMENSION>(picture.Width);
  info.image_height = static_cast<JDIMENSION>(picture.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.optimize_coding = TRUE;
  // Colour at half resolution (the defaults): at this size even the glitter's thin warm
  // lines are several pixels wide.
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(picture.At(0, static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  if (std::fflush(file.get()) != 0) throw FileError("cannot write " + path);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  File file = Open(path, "wb");
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0) {
    throw FileError("cannot write " + path);
  }
}

Picture ReadPngRgba(const std::string& path) {
  File file = Open(path, "rb");
  PngReader reader;
  Picture picture;
  std::vector<png_bytep> rows;
  if (!ReadPngRows(reader, file.get(), picture, rows)) {
    throw FileError("libpng: " + reader.Error + " reading " + path);
  }
  return picture;
}

Picture ReadJpegRgb(const std::string& path) {
  File file = Open(path, "rb");
  jpeg_decompress_struct info{};
  JpegErrorTrap trap{};
  info.err = jpeg_std_error(&trap.Manager);
  trap.Manager.error_exit = JpegErrorExit;
  trap.Manager.emit_message = JpegWarningIsError;
  // Declared before setjmp so the jump back finds it in a defined state.
  Picture picture;
  if (setjmp(trap.Jump)) {
    jpeg_destroy_decompress(&info);
    throw FileError(std::string("libjpeg: ") + trap.Message + " in " + path);
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture = Picture(static_cast<int>(info.output_width), static_cast<int>(info.output_height), 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.At(0, static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return picture;
}

}  // namespace art
