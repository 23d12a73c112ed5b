#include "sample_pictures.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

void AppendToBytes(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

// Plain data only between setjmp and libpng's longjmp.
bool WritePng(const PngSample* sample, Bytes* out, png_bytep* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendToBytes, nullptr);
  png_set_IHDR(png, info, sample->Width, sample->Height, sample->BitDepth, sample->ColorType,
               sample->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!sample->Palette.empty()) {
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(sample->Palette.data()),
                 static_cast<int>(sample->Palette.size() / 3));
  }
  if (!sample->Transparency.empty()) {
    png_color_16 colour{};
    if (sample->ColorType == PNG_COLOR_TYPE_GRAY) colour.gray = sample->Transparency[0];
    png_set_tRNS(png, info, sample->Transparency.data(),
                 static_cast<int>(sample->Transparency.size()), &colour);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

struct JpegJump {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
};

void OnJpegWriteError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegJump*>(info->err)->Jump, 1);
}

// Every AC coefficient on its own in eight successive-approximation scans.
std::vector<jpeg_scan_info> ManyGreyScans() {
  std::vector<jpeg_scan_info> scans;
  for (int k = 0; k < 64; ++k) {
    scans.push_back({1, {0}, k, k, 0, 7});
    for (int bit = 7; bit > 0; --bit) scans.push_back({1, {0}, k, k, bit, bit - 1});
  }
  return scans;
}

bool WriteJpeg(const JpegSample* sample, const std::vector<jpeg_scan_info>* scans,
               unsigned char** buffer, unsigned long* size) {
  jpeg_compress_struct info;
  JpegJump error;
  info.err = jpeg_std_error(&error.Pub);
  error.Pub.error_exit = OnJpegWriteError;
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, size);
  info.image_width = static_cast<JDIMENSION>(sample->Width);
  info.image_height = static_cast<JDIMENSION>(sample->Height);
  info.input_components = sample->Components;
  info.in_color_space = sample->Components == 1   ? JCS_GRAYSCALE
                        : sample->Components == 3 ? JCS_RGB
                                                  : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (sample->FullChroma) info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  if (sample->Components == 4) info.write_Adobe_marker = sample->AdobeMarker;
  if (sample->Progressive) jpeg_simple_progression(&info);
  if (!scans->empty()) {
    info.scan_info = scans->data();
    info.num_scans = static_cast<int>(scans->size());
  }
  jpeg_start_compress(&info, TRUE);
  if (!sample->Exif.empty()) {
    jpeg_write_marker(&info, JPEG_APP0 + 1, sample->Exif.data(),
                      static_cast<unsigned>(sample->Exif.size()));
  }
  const size_t rowBytes = static_cast<size_t>(sample->Width) * sample->Components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(sample->Samples.data() + info.next_scanline * rowBytes);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

void PutU16(Bytes& data, size_t at, uint32_t value) {
  data[at] = static_cast<uint8_t>(value);
  data[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

Bytes EncodePng(const PngSample& sample) {
  const size_t rowBytes = sample.Rows.size() / sample.Height;
  std::vector<png_bytep> rows(sample.Height);
  for (size_t y = 0; y < rows.size(); ++y) {
    rows[y] = const_cast<png_bytep>(sample.Rows.data() + y * rowBytes);
  }
  Bytes out;
  if (!WritePng(&sample, &out, rows.data())) throw std::runtime_error("test PNG not written");
  return out;
}

Bytes PngChunk(const char* type, const Bytes& content) {
  Bytes chunk(8);
  PutU32BigEndian(chunk, 0, static_cast<uint32_t>(content.size()));
  std::memcpy(chunk.data() + 4, type, 4);
  chunk.insert(chunk.end(), content.begin(), content.end());
  const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
  chunk.resize(chunk.size() + 4);
  PutU32BigEndian(chunk, chunk.size() - 4, static_cast<uint32_t>(crc));
  return chunk;
}

Bytes PngHeaderChunk(uint32_t width, uint32_t height, int bitDepth, int colorType) {
  Bytes content(13, 0);
  PutU32BigEndian(content, 0, width);
  PutU32BigEndian(content, 4, height);
  content[8] = static_cast<uint8_t>(bitDepth);
  content[9] = static_cast<uint8_t>(colorType);
  return PngChunk("IHDR", content);
}

Bytes PngSignature() {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

Bytes EncodeJpeg(const JpegSample& sample) {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const std::vector<jpeg_scan_info> scans =
      sample.ManyScans ? ManyGreyScans() : std::vector<jpeg_scan_info>();
  const bool written = WriteJpeg(&sample, &scans, &buffer, &size);
  Bytes out(buffer, buffer + (written ? size : 0));
  std::free(buffer);
  if (!written) throw std::runtime_error("test JPEG not written");
  return out;
}

Bytes FlatJpeg(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
  JpegSample sample{width, height, 3};
  for (int i = 0; i < width * height; ++i)
    sample.Samples.insert(sample.Samples.end(), {red, green, blue});
  return EncodeJpeg(sample);
}

Bytes BuildBmp(const BmpSample& sample) {
  const bool masksAfterHeader = sample.HeaderSize == 40 && !sample.Masks.empty();
  const size_t headerEnd =
      14 + sample.HeaderSize + (masksAfterHeader ? sample.Masks.size() * 4 : 0);
  const size_t pixelOffset = headerEnd + sample.Palette.size();
  Bytes data(pixelOffset, 0);
  data[0] = 'B';
  data[1] = 'M';
  PutU32(data, 2, static_cast<uint32_t>(pixelOffset + sample.Pixels.size()));
  PutU32(data, 10, static_cast<uint32_t>(pixelOffset));
  PutU32(data, 14, sample.HeaderSize);
  PutU32(data, 18, static_cast<uint32_t>(sample.Width));
  PutU32(data, 22, static_cast<uint32_t>(sample.Height));
  PutU16(data, 26, 1);
  PutU16(data, 28, static_cast<uint32_t>(sample.BitCount));
  PutU32(data, 30, sample.Compression);
  PutU32(data, 46, sample.ColoursUsed);
  for (size_t i = 0; i < sample.Masks.size(); ++i) PutU32(data, 54 + i * 4, sample.Masks[i]);
  std::copy(sample.Palette.begin(), sample.Palette.end(), data.begin() + headerEnd);
  data.insert(data.end(), sample.Pixels.begin(), sample.Pixels.end());
  return data;
}

void PutU32(Bytes& data, size_t at, uint32_t value) {
  PutU16(data, at, value & 0xFFFF);
  PutU16(data, at + 2, value >> 16);
}

void PutU32BigEndian(Bytes& data, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

std::string BgrAt(const PixelImage& image, int32_t x, int32_t y) {
  const int bytes = image.BitCount() / 8;
  const uint8_t* pixel = image.Row(y) + x * bytes;
  std::string text;
  for (int c = 0; c < bytes; ++c) text += (c ? "," : "") + std::to_string(pixel[c]);
  return text;
}
