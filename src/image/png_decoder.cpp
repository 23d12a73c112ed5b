// PNG decoding through libpng. libpng reports errors by longjmp, which must not cross a
// live C++ object with a destructor: the functions that call setjmp hold only plain data,
// and every C++ object (the pixel buffer, the row table) lives in the caller's frame.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/picture.h"

namespace {

// Chunks (text, ICC profiles) may not inflate to more than this.
constexpr png_alloc_size_t MaxPngChunkBytes = 8u * 1024 * 1024;
constexpr png_uint_32 MaxPngAncillaryChunks = 1000;

struct PngReadState {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Offset = 0;
  int FileColorType = 0;  // png_get_color_type gives the transformed type once updated
  char Message[200] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
  std::snprintf(state->Message, sizeof state->Message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
  if (count > state->Size - state->Offset) png_error(png, "the data ends early (truncated file)");
  std::memcpy(out, state->Data + state->Offset, count);
  state->Offset += count;
}

// Reads the header and sets the transformations to 8-bit RGBA. False with Message set on
// an error.
bool ReadHeader(PngReadState* state) {
  if (setjmp(png_jmpbuf(state->Png))) return false;
  png_set_read_fn(state->Png, state, ReadFromMemory);
  png_set_user_limits(state->Png, MaxPictureSide, MaxPictureSide);
  png_set_chunk_malloc_max(state->Png, MaxPngChunkBytes);
  png_set_chunk_cache_max(state->Png, MaxPngAncillaryChunks);
  png_read_info(state->Png, state->Info);

  png_structp png = state->Png;
  const int colorType = png_get_color_type(png, state->Info);
  state->FileColorType = colorType;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_scale_16(png);
  // Only adds a channel when there is none; any alpha made from tRNS is overwritten later.
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, state->Info);
  return true;
}

bool ReadRows(PngReadState* state, png_bytepp rows) {
  if (setjmp(png_jmpbuf(state->Png))) return false;
  png_read_image(state->Png, rows);
  png_read_end(state->Png, nullptr);
  return true;
}

// libpng only warns about a chunk longer than its limit and then allocates (and clears)
// the length the chunk claims, up to 2 GiB for a few bytes of file. A chunk that claims
// more than the data holds is refused before libpng sees it, so no allocation can
// pass the size of the file.
bool ChunkClaimsMoreThanTheData(const uint8_t* data, size_t size, std::string* why) {
  size_t at = 8;
  while (size - at >= 8) {
    const uint32_t length = uint32_t{data[at]} << 24 | uint32_t{data[at + 1]} << 16 |
                            uint32_t{data[at + 2]} << 8 | data[at + 3];
    if (uint64_t{length} + 12 > size - at) {
      *why = "a chunk claims " + std::to_string(length) + " bytes, more than the file holds";
      return true;
    }
    if (std::memcmp(data + at + 4, "IEND", 4) == 0) return false;
    at += size_t{length} + 12;
  }
  return false;
}

class PngReader {
 public:
  explicit PngReader(std::span<const uint8_t> data) {
    State.Data = data.data();
    State.Size = data.size();
    State.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &State, OnPngError, OnPngWarning);
    if (State.Png) State.Info = png_create_info_struct(State.Png);
    if (!State.Png || !State.Info) {
      png_destroy_read_struct(&State.Png, &State.Info, nullptr);
      Fail("out of memory");
    }
  }
  ~PngReader() { png_destroy_read_struct(&State.Png, &State.Info, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  PngPicture Read() {
    if (State.Size < 8 || png_sig_cmp(State.Data, 0, 8) != 0) Fail("not a PNG file");
    if (std::string why; ChunkClaimsMoreThanTheData(State.Data, State.Size, &why)) Fail(why);
    if (!ReadHeader(&State)) Fail(State.Message);

    PngPicture picture;
    picture.Width = png_get_image_width(State.Png, State.Info);
    picture.Height = png_get_image_height(State.Png, State.Info);
    picture.ColorType = State.FileColorType;
    CheckPictureSize(picture.Width, picture.Height, 4);
    const size_t rowBytes = size_t{picture.Width} * 4;
    if (png_get_rowbytes(State.Png, State.Info) != rowBytes) Fail("unexpected row layout");

    picture.Rgba.resize(rowBytes * picture.Height);
    std::vector<png_bytep> rows(picture.Height);
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = picture.Rgba.data() + y * rowBytes;
    if (!ReadRows(&State, rows.data())) Fail(State.Message);

    if (!picture.HasAlphaChannel()) {
      for (size_t i = 3; i < picture.Rgba.size(); i += 4) picture.Rgba[i] = 0xFF;
    }
    return picture;
  }

 private:
  [[noreturn]] static void Fail(const std::string& why) {
    throw PictureError("Cannot decode the PNG picture: " + why);
  }

  PngReadState State;
};

}  // namespace

PngPicture DecodePng(std::span<const uint8_t> data) {
  return PngReader(data).Read();
}
