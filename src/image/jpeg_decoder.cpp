// JPEG decoding through libjpeg-turbo. Its errors arrive by longjmp, so the functions that
// call setjmp hold only plain data; the pixel image and the row buffer live in the caller.
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "image/pixel_image.h"

namespace {

// Progressive files rescan the whole picture per scan; a hostile file with thousands of
// tiny scans would take minutes, so stop well above what encoders produce.
constexpr int MaxJpegScans = 500;

struct JpegErrorManager {
  jpeg_error_mgr Pub;  // first, so libjpeg's err pointer is also ours
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

struct JpegState {
  jpeg_decompress_struct Info;
  JpegErrorManager Error;
  jpeg_progress_mgr Progress;
  bool Created;
  const uint8_t* Data;
  unsigned long Size;
  int32_t MinWidth;
  int32_t MinHeight;
  bool Cmyk;
  int Orientation;
};

JpegErrorManager* ErrorOf(j_common_ptr info) {
  return reinterpret_cast<JpegErrorManager*>(info->err);
}

void OnJpegError(j_common_ptr info) {
  JpegErrorManager* error = ErrorOf(info);
  if (info->err->msg_code == JERR_NO_BACKING_STORE) {
    // libjpeg asks for a backing store when its working memory would pass the limit.
    std::snprintf(error->Message, sizeof error->Message,
                  "it needs more than %llu MiB of working memory",
                  static_cast<unsigned long long>(MaxPictureBytes >> 20));
  } else {
    info->err->format_message(info, error->Message);
  }
  std::longjmp(error->Jump, 1);
}

// Most warnings about corrupt data are survivable and ignored, but data that ends (at the
// end of the file or at a marker) before the pixels do would decode as grey padding.
void OnJpegMessage(j_common_ptr info, int level) {
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) OnJpegError(info);
}

void OnJpegProgress(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > MaxJpegScans) {
    JpegErrorManager* error = ErrorOf(info);
    std::snprintf(error->Message, sizeof error->Message, "more than %d scans", MaxJpegScans);
    std::longjmp(error->Jump, 1);
  }
}

// The first APP1 marker that carries Exif data decides; the marker is saved by ReadHeader.
int OrientationOf(const jpeg_decompress_struct* info) {
  for (jpeg_saved_marker_ptr marker = info->marker_list; marker; marker = marker->next) {
    const std::span<const uint8_t> content(marker->data, marker->data_length);
    if (content.size() >= 6 && std::memcmp(content.data(), "Exif\0\0", 6) == 0) {
      return ExifOrientation(content);
    }
  }
  return 1;
}

// The sizes asked for are the upright picture's; a quarter turn swaps them for the frame.
void ChooseScale(jpeg_decompress_struct* info, int32_t minWidth, int32_t minHeight,
                 int orientation) {
  if (minWidth <= 0 && minHeight <= 0) return;
  if (OrientationSwapsSides(orientation)) std::swap(minWidth, minHeight);
  for (unsigned num = 1; num <= 8; ++num) {
    info->scale_num = num;
    info->scale_denom = 8;
    jpeg_calc_output_dimensions(info);
    if (static_cast<int64_t>(info->output_width) >= minWidth &&
        static_cast<int64_t>(info->output_height) >= minHeight) {
      return;
    }
  }
}

bool ReadHeader(JpegState* state) {
  if (setjmp(state->Error.Jump)) return false;
  jpeg_decompress_struct* info = &state->Info;
  info->err = jpeg_std_error(&state->Error.Pub);
  state->Error.Pub.error_exit = OnJpegError;
  state->Error.Pub.emit_message = OnJpegMessage;
  jpeg_create_decompress(info);
  state->Created = true;
  info->mem->max_memory_to_use = static_cast<long>(MaxPictureBytes);
  state->Progress.progress_monitor = OnJpegProgress;
  info->progress = &state->Progress;
  jpeg_mem_src(info, state->Data, state->Size);
  // A marker holds at most 64 KiB, and the memory bound above covers the saved ones.
  jpeg_save_markers(info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(info, TRUE);
  state->Orientation = OrientationOf(info);

  switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_RGB:
    case JCS_YCbCr:
      info->out_color_space = JCS_EXT_BGR;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      info->out_color_space = JCS_CMYK;
      state->Cmyk = true;
      break;
    default:
      std::snprintf(state->Error.Message, sizeof state->Error.Message,
                    "unsupported colour space (%d components)", info->num_components);
      return false;
  }
  jpeg_calc_output_dimensions(info);
  ChooseScale(info, state->MinWidth, state->MinHeight, state->Orientation);
  return true;
}

// Adobe's encoders store CMYK inverted (0 = full ink) and mark the file with an APP14
// marker; plain CMYK stores ink amounts.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, uint32_t width, bool inverted) {
  for (uint32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const unsigned c = inverted ? cmyk[0] : 255u - cmyk[0];
    const unsigned m = inverted ? cmyk[1] : 255u - cmyk[1];
    const unsigned y = inverted ? cmyk[2] : 255u - cmyk[2];
    const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    bgr[0] = static_cast<uint8_t>((y * k + 127) / 255);
    bgr[1] = static_cast<uint8_t>((m * k + 127) / 255);
    bgr[2] = static_cast<uint8_t>((c * k + 127) / 255);
  }
}

bool ReadPixels(JpegState* state, PixelImage* image, uint8_t* cmykRow) {
  if (setjmp(state->Error.Jump)) return false;
  jpeg_decompress_struct* info = &state->Info;
  jpeg_start_decompress(info);
  if (static_cast<int64_t>(info->output_width) != image->Width() ||
      static_cast<int64_t>(info->output_height) != image->Height() ||
      info->output_components != (state->Cmyk ? 4 : 3)) {
    std::snprintf(state->Error.Message, sizeof state->Error.Message, "unexpected output layout");
    return false;
  }
  while (info->output_scanline < info->output_height) {
    uint8_t* row = image->Row(static_cast<int32_t>(info->output_scanline));
    JSAMPROW target = state->Cmyk ? cmykRow : row;
    if (jpeg_read_scanlines(info, &target, 1) != 1) {
      std::snprintf(state->Error.Message, sizeof state->Error.Message, "no more scan lines");
      return false;
    }
    if (state->Cmyk) CmykRowToBgr(cmykRow, row, info->output_width, info->saw_Adobe_marker);
  }
  return true;
}

class JpegReader {
 public:
  JpegReader(std::span<const uint8_t> data, int32_t minWidth, int32_t minHeight) {
    std::memset(&State, 0, sizeof State);
    if (data.size() > ULONG_MAX) Fail("the data is too large");
    State.Data = data.data();
    State.Size = static_cast<unsigned long>(data.size());
    State.MinWidth = minWidth;
    State.MinHeight = minHeight;
  }
  ~JpegReader() {
    if (State.Created) jpeg_destroy_decompress(&State.Info);
  }
  JpegReader(const JpegReader&) = delete;
  JpegReader& operator=(const JpegReader&) = delete;

  PixelImage Read() {
    if (!ReadHeader(&State)) Fail(State.Error.Message);
    // The frame size bounds what libjpeg allocates; the output size bounds our pixels.
    if (State.Info.image_width > MaxPictureSide || State.Info.image_height > MaxPictureSide) {
      Fail("the picture is " + std::to_string(State.Info.image_width) + " x " +
           std::to_string(State.Info.image_height) + " pixels, more than " +
           std::to_string(MaxPictureSide) + " a side");
    }
    CheckPictureSize(State.Info.output_width, State.Info.output_height, 3);
    PixelImage image;
    image.SetSize(static_cast<int32_t>(State.Info.output_width),
                  static_cast<int32_t>(State.Info.output_height), 24);
    std::vector<uint8_t> cmykRow(State.Cmyk ? size_t{State.Info.output_width} * 4 : 0);
    if (!ReadPixels(&State, &image, cmykRow.data())) Fail(State.Error.Message);
    return Oriented(std::move(image), State.Orientation);
  }

 private:
  [[noreturn]] static void Fail(const std::string& why) {
    throw PictureError("Cannot decode the JPEG picture: " + why);
  }

  JpegState State;
};

}  // namespace

PixelImage DecodeJpeg(std::span<const uint8_t> data, int32_t minWidth, int32_t minHeight) {
  return JpegReader(data, minWidth, minHeight).Read();
}
