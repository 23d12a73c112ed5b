// GIF, TIFF and WebP samples written by the libraries' own encoders, and Exif blocks.
#include <gif_lib.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "sample_pictures.h"

namespace {

int AppendGifBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

ColorMapObject* MakeColourMap(const Bytes& rgb, bool inverted) {
  // giflib wants a power of two entries; unused ones are black.
  int count = 2;
  while (count * 3 < static_cast<int>(rgb.size())) count *= 2;
  std::vector<GifColorType> colours(static_cast<size_t>(count), GifColorType{0, 0, 0});
  for (size_t i = 0; i * 3 < rgb.size(); ++i) {
    colours[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
    if (inverted) colours[i] = {uint8_t(~colours[i].Red), uint8_t(~colours[i].Green), 0};
  }
  return GifMakeMapObject(count, colours.data());
}

// The stored order of an interlaced frame's rows: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<int> GifRowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
  for (const auto& [start, step] : passes) {
    for (int y = interlaced ? start : 0; y < height; y += interlaced ? step : 1) rows.push_back(y);
    if (!interlaced) break;
  }
  return rows;
}

bool WriteGif(const GifSample& sample, GifFileType* gif) {
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MakeColourMap(sample.Palette, sample.LocalPalette);
  ColorMapObject* local = sample.LocalPalette ? MakeColourMap(sample.Palette, false) : nullptr;
  bool written =
      EGifPutScreenDesc(gif, sample.ScreenWidth, sample.ScreenHeight, 8, 0, global) == GIF_OK;
  if (written && sample.TransparentIndex >= 0) {
    GraphicsControlBlock control{};
    control.TransparentColor = sample.TransparentIndex;
    GifByteType block[4];
    const size_t length = EGifGCBToExtension(&control, block);
    written =
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block) == GIF_OK;
  }
  written = written && EGifPutImageDesc(gif, sample.Left, sample.Top, sample.Width, sample.Height,
                                        sample.Interlaced, local) == GIF_OK;
  for (const int y : GifRowOrder(sample.Height, sample.Interlaced)) {
    Bytes line(sample.Indices.begin() + y * sample.Width,
               sample.Indices.begin() + (y + 1) * sample.Width);
    written = written && EGifPutLine(gif, line.data(), sample.Width) == GIF_OK;
  }
  GifFreeMapObject(global);
  GifFreeMapObject(local);
  return written;
}

struct TiffBuffer {
  Bytes Data;
  toff_t Offset = 0;
};

TiffBuffer* BufferOf(thandle_t handle) {
  return static_cast<TiffBuffer*>(handle);
}

tmsize_t ReadTiffBuffer(thandle_t handle, void* out, tmsize_t count) {
  TiffBuffer* buffer = BufferOf(handle);
  const size_t given =
      std::min<size_t>(static_cast<size_t>(count),
                       buffer->Data.size() - std::min<size_t>(buffer->Offset, buffer->Data.size()));
  std::memcpy(out, buffer->Data.data() + buffer->Offset, given);
  buffer->Offset += given;
  return static_cast<tmsize_t>(given);
}

tmsize_t WriteTiffBuffer(thandle_t handle, void* data, tmsize_t count) {
  TiffBuffer* buffer = BufferOf(handle);
  const size_t end = buffer->Offset + static_cast<size_t>(count);
  if (buffer->Data.size() < end) buffer->Data.resize(end);
  std::memcpy(buffer->Data.data() + buffer->Offset, data, static_cast<size_t>(count));
  buffer->Offset = end;
  return count;
}

toff_t SeekTiffBuffer(thandle_t handle, toff_t offset, int whence) {
  TiffBuffer* buffer = BufferOf(handle);
  const toff_t base = whence == SEEK_CUR   ? buffer->Offset
                      : whence == SEEK_END ? buffer->Data.size()
                                           : 0;
  buffer->Offset = base + offset;
  return buffer->Offset;
}

int CloseTiffBuffer(thandle_t) {
  return 0;
}

toff_t SizeOfTiffBuffer(thandle_t handle) {
  return BufferOf(handle)->Data.size();
}

int NoMap(thandle_t, void**, toff_t*) {
  return 0;
}

void NoUnmap(thandle_t, void*, toff_t) {}

bool WriteTiff(const TiffSample& sample, TIFF* tiff) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, sample.Width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, sample.Height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, sample.Samples);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
               sample.Samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, sample.Compression);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, sample.Orientation);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP,
               sample.RowsPerStrip ? sample.RowsPerStrip : sample.Height);
  if (sample.Samples == 4) {
    const uint16_t kind = sample.Associated ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &kind);
  }
  if (sample.Compression == COMPRESSION_JPEG) TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 100);
  if (sample.Pixels.empty()) return TIFFWriteDirectory(tiff) == 1;  // a header only
  return TIFFWriteEncodedStrip(tiff, 0, const_cast<uint8_t*>(sample.Pixels.data()),
                               static_cast<tmsize_t>(sample.Pixels.size())) >= 0;
}

void CheckedMux(WebPMuxError error) {
  if (error != WEBP_MUX_OK) throw std::runtime_error("test WebP not muxed");
}

Bytes AnimatedWebp(const WebpSample& sample) {
  WebPAnimEncoderOptions options;
  WebPConfig config;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) {
    throw std::runtime_error("libwebp version mismatch");
  }
  config.lossless = sample.Lossless;
  WebPAnimEncoder* encoder = WebPAnimEncoderNew(sample.Width, sample.Height, &options);
  int timestamp = 0;
  bool added = true;
  for (const Bytes* frame : {&sample.Bgra, &sample.SecondFrameBgra}) {
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.use_argb = 1;
    picture.width = sample.Width;
    picture.height = sample.Height;
    added = added && WebPPictureImportBGRA(&picture, frame->data(), sample.Width * 4) &&
            WebPAnimEncoderAdd(encoder, &picture, timestamp, &config);
    WebPPictureFree(&picture);
    timestamp += 100;
  }
  WebPData assembled{};
  added = added && WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr) &&
          WebPAnimEncoderAssemble(encoder, &assembled);
  WebPAnimEncoderDelete(encoder);
  Bytes out(assembled.bytes, assembled.bytes + assembled.size);
  WebPDataClear(&assembled);
  if (!added) throw std::runtime_error("test WebP animation not written");
  return out;
}

Bytes StillWebp(const WebpSample& sample) {
  uint8_t* encoded = nullptr;
  size_t size = 0;
  const int stride = sample.Width * 4;
  if (sample.Lossless) {
    size =
        WebPEncodeLosslessBGRA(sample.Bgra.data(), sample.Width, sample.Height, stride, &encoded);
  } else if (sample.Alpha) {
    size = WebPEncodeBGRA(sample.Bgra.data(), sample.Width, sample.Height, stride, 100, &encoded);
  } else {
    Bytes bgr;
    for (size_t i = 0; i < sample.Bgra.size(); i += 4) {
      bgr.insert(bgr.end(), sample.Bgra.begin() + i, sample.Bgra.begin() + i + 3);
    }
    size = WebPEncodeBGR(bgr.data(), sample.Width, sample.Height, sample.Width * 3, 100, &encoded);
  }
  Bytes out(encoded, encoded + size);
  WebPFree(encoded);
  if (size == 0) throw std::runtime_error("test WebP not written");
  return out;
}

Bytes WithExifChunk(const Bytes& webp, const Bytes& exif) {
  const WebPData input{webp.data(), webp.size()};
  WebPMux* mux = WebPMuxCreate(&input, 1);
  if (!mux) throw std::runtime_error("test WebP not parsed");
  const WebPData chunk{exif.data(), exif.size()};
  WebPData assembled{};
  CheckedMux(WebPMuxSetChunk(mux, "EXIF", &chunk, 1));
  CheckedMux(WebPMuxAssemble(mux, &assembled));
  WebPMuxDelete(mux);
  Bytes out(assembled.bytes, assembled.bytes + assembled.size);
  WebPDataClear(&assembled);
  return out;
}

struct Letter {
  char Name;
  uint8_t Blue, Green, Red, Alpha;
};

constexpr Letter Letters[] = {
    {'R', 0, 0, 255, 255},     {'G', 0, 255, 0, 255},   {'B', 255, 0, 0, 255},
    {'W', 255, 255, 255, 255}, {'K', 0, 0, 0, 255},     {'Y', 0, 255, 255, 255},
    {'C', 255, 255, 0, 255},   {'M', 255, 0, 255, 255}, {'r', 0, 0, 255, 128},
    {'g', 0, 255, 0, 64},
};

}  // namespace

Bytes BgraFromLetters(const LetterRows& rows) {
  Bytes bgra;
  for (const std::string& row : rows) {
    for (const char name : row) {
      const auto* letter = std::find_if(std::begin(Letters), std::end(Letters),
                                        [&](const Letter& l) { return l.Name == name; });
      if (letter == std::end(Letters)) {
        bgra.insert(bgra.end(), {0, 0, 0, 0});
      } else {
        bgra.insert(bgra.end(), {letter->Blue, letter->Green, letter->Red, letter->Alpha});
      }
    }
  }
  return bgra;
}

LetterRows LettersOf(const PixelImage& image, int tolerance) {
  PixelImage copy = image;
  copy.ConvertTo32();
  const bool alpha = image.BitCount() == 32;
  LetterRows rows;
  for (int32_t y = 0; y < copy.Height(); ++y) {
    std::string row;
    for (int32_t x = 0; x < copy.Width(); ++x) {
      const uint8_t* pixel = copy.Row(y) + x * 4;
      const int a = alpha ? pixel[3] : 255;
      const auto near = [&](int value, int expected) {
        return std::abs(value - expected) <= tolerance;
      };
      const auto* letter =
          std::find_if(std::begin(Letters), std::end(Letters), [&](const Letter& l) {
            return near(pixel[0], l.Blue) && near(pixel[1], l.Green) && near(pixel[2], l.Red) &&
                   near(a, l.Alpha);
          });
      row += a == 0 ? '.' : letter == std::end(Letters) ? '?' : letter->Name;
    }
    rows.push_back(row);
  }
  return rows;
}

Bytes EncodeGif(const GifSample& sample) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGifBytes, &error);
  if (!gif) throw std::runtime_error("test GIF not opened");
  const bool written = WriteGif(sample, gif);
  if (EGifCloseFile(gif, &error) != GIF_OK || !written) {
    throw std::runtime_error("test GIF not written");
  }
  return out;
}

Bytes EncodeTiff(const TiffSample& sample) {
  TiffBuffer buffer;
  TIFF* tiff = TIFFClientOpen("sample", sample.BigEndian ? "wb" : "wl", &buffer, ReadTiffBuffer,
                              WriteTiffBuffer, SeekTiffBuffer, CloseTiffBuffer, SizeOfTiffBuffer,
                              NoMap, NoUnmap);
  if (!tiff) throw std::runtime_error("test TIFF not opened");
  const bool written = WriteTiff(sample, tiff);
  TIFFClose(tiff);
  if (!written) throw std::runtime_error("test TIFF not written");
  return buffer.Data;
}

Bytes EncodeWebp(const WebpSample& sample) {
  const Bytes webp = sample.SecondFrameBgra.empty() ? StillWebp(sample) : AnimatedWebp(sample);
  return sample.Exif.empty() ? webp : WithExifChunk(webp, sample.Exif);
}

Bytes ExifWithOrientation(int orientation, bool bigEndian) {
  Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
  const Bytes tiff = bigEndian ? Bytes{'M',  'M',  0, 42, 0, 0, 0, 8, 0, 1,
                                       0x01, 0x12, 0, 3,  0, 0, 0, 1, 0, uint8_t(orientation),
                                       0,    0,    0, 0,  0, 0, 0, 0}
                               : Bytes{'I',
                                       'I',
                                       42,
                                       0,
                                       8,
                                       0,
                                       0,
                                       0,
                                       1,
                                       0,
                                       0x12,
                                       0x01,
                                       3,
                                       0,
                                       1,
                                       0,
                                       0,
                                       0,
                                       uint8_t(orientation),
                                       0,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0};
  exif.insert(exif.end(), tiff.begin(), tiff.end());
  return exif;
}
