// WebP decoding through libwebp: lossy, lossless and either with alpha, decoded straight
// into the pixel image; an animation through libwebpdemux's frame composer, first frame
// only. libwebp reports errors by return codes.
#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>
#include <string>

#include "image/decoded_pixels.h"

namespace {

[[noreturn]] void Fail(const std::string& why) {
  throw PictureError("Cannot decode the WebP picture: " + why);
}

bool HasWebpSignature(std::span<const uint8_t> data) {
  return data.size() >= 12 && std::memcmp(data.data(), "RIFF", 4) == 0 &&
         std::memcmp(data.data() + 8, "WEBP", 4) == 0;
}

struct DemuxDeleter {
  void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
struct AnimDeleter {
  void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

int OrientationOf(const WebPData& webp) {
  const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&webp));
  if (!demux) return 1;
  WebPChunkIterator chunk{};
  int orientation = 1;
  if (WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk)) {
    orientation = ExifOrientation(std::span(chunk.chunk.bytes, chunk.chunk.size));
    WebPDemuxReleaseChunkIterator(&chunk);
  }
  return orientation;
}

std::string StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
      return "out of memory";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return "an unsupported feature";
    case VP8_STATUS_NOT_ENOUGH_DATA:
      return "the data ends early (truncated file)";
    default:
      return "bad data";
  }
}

PixelImage DecodeStill(std::span<const uint8_t> data, const WebPBitstreamFeatures& features) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) Fail("libwebp version mismatch");
  PixelImage image;
  image.SetSize(features.width, features.height, features.has_alpha ? 32 : 24);
  config.output.colorspace = features.has_alpha ? MODE_BGRA : MODE_BGR;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = image.Row(0);
  config.output.u.RGBA.stride = static_cast<int>(image.Stride());
  config.output.u.RGBA.size = image.Stride() * static_cast<size_t>(image.Height());
  const VP8StatusCode status = WebPDecode(data.data(), data.size(), &config);
  WebPFreeDecBuffer(&config.output);
  if (status != VP8_STATUS_OK) Fail(StatusText(status));
  return image;
}

// Animation encoders mark every file as having alpha (the canvas starts transparent), so
// the composed frame itself says whether it has any.
PixelImage DecodeFirstFrame(const WebPData& webp) {
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) Fail("libwebp version mismatch");
  options.color_mode = MODE_BGRA;
  options.use_threads = 0;
  const std::unique_ptr<WebPAnimDecoder, AnimDeleter> decoder(WebPAnimDecoderNew(&webp, &options));
  WebPAnimInfo info{};
  if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) Fail("unreadable animation");
  uint8_t* canvas = nullptr;
  int timestamp = 0;
  if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp)) Fail("unreadable first frame");
  PixelImage image;
  image.SetSize(static_cast<int32_t>(info.canvas_width), static_cast<int32_t>(info.canvas_height),
                32);
  const size_t rowBytes = size_t{info.canvas_width} * 4;
  for (int32_t y = 0; y < image.Height(); ++y) {
    std::memcpy(image.Row(y), canvas + rowBytes * static_cast<size_t>(y), rowBytes);
  }
  return AllOpaque(image) ? WithoutAlpha(image) : image;
}

}  // namespace

PixelImage DecodeWebp(std::span<const uint8_t> data) {
  if (!HasWebpSignature(data)) Fail("not a WebP file");
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(data.data(), data.size(), &features) != VP8_STATUS_OK) {
    Fail("unreadable header");
  }
  // For an animation these are the canvas's sides: checked before the composer allocates.
  CheckPictureSize(features.width, features.height, features.has_alpha ? 4 : 3);
  const WebPData webp{data.data(), data.size()};
  PixelImage image = features.has_animation ? DecodeFirstFrame(webp) : DecodeStill(data, features);
  return Oriented(std::move(image), OrientationOf(webp));
}
