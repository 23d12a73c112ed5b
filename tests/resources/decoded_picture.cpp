#include "decoded_picture.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void PngFail(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

bool ReadPng(png_structp png, png_infop info, FILE* file, DecodedPng& out,
             std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  out.Width = png_get_image_width(png, info);
  out.Height = png_get_image_height(png, info);
  out.ColorType = png_get_color_type(png, info);
  out.BitDepth = png_get_bit_depth(png, info);
  out.Interlace = png_get_interlace_type(png, info);
  out.Channels = png_get_channels(png, info);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  out.Samples.resize(png_get_rowbytes(png, info) * out.Height);
  rows.resize(out.Height);
  for (uint32_t y = 0; y < out.Height; ++y)
    rows[y] = out.Samples.data() + y * png_get_rowbytes(png, info);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

struct JpegTrap {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

void JpegFail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegTrap*>(info->err)->Jump, 1);
}
// Corrupt or truncated data is only a warning to libjpeg; here it fails the picture.
void JpegWarningFails(j_common_ptr info, int level) {
  if (level < 0) JpegFail(info);
}

bool ReadJpeg(jpeg_decompress_struct& info, FILE* file, DecodedJpeg& out) {
  if (setjmp(reinterpret_cast<JpegTrap*>(info.err)->Jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  out.Width = static_cast<int>(info.image_width);
  out.Height = static_cast<int>(info.image_height);
  out.Components = info.num_components;
  out.Precision = info.data_precision;
  out.SawJfif = info.saw_JFIF_marker;
  out.Progressive = info.progressive_mode;
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.Rgb.resize(static_cast<size_t>(out.Width) * out.Height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.Rgb.data() + static_cast<size_t>(info.output_scanline) * out.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

DecodedPng DecodePngFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot open " + path);
  std::string error;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, PngFail, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  DecodedPng out;
  std::vector<png_bytep> rows;
  bool ok = info && ReadPng(png, info, file, out, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  if (!ok) throw std::runtime_error(path + ": " + error);
  return out;
}

DecodedJpeg DecodeJpegFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot open " + path);
  jpeg_decompress_struct info{};
  JpegTrap trap{};
  info.err = jpeg_std_error(&trap.Manager);
  trap.Manager.error_exit = JpegFail;
  trap.Manager.emit_message = JpegWarningFails;
  DecodedJpeg out;
  bool ok = ReadJpeg(info, file, out);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  if (!ok) throw std::runtime_error(path + ": not a readable JPEG");
  return out;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
