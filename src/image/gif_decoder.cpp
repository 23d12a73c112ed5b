// GIF decoding through giflib: the first frame only, composed on the logical screen.
// giflib reports errors by return codes, so plain C++ ownership works here. Frames are
// read a line at a time (not with DGifSlurp, which would allocate a hostile frame whole
// before its size could be checked).
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "image/decoded_pixels.h"

namespace {

[[noreturn]] void Fail(const std::string& why) {
  throw PictureError("Cannot decode the GIF picture: " + why);
}

struct MemoryInput {
  std::span<const uint8_t> Data;
  size_t Offset = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  const size_t wanted = static_cast<size_t>(std::max(count, 0));
  const size_t given = std::min(wanted, input->Data.size() - input->Offset);
  std::memcpy(out, input->Data.data() + input->Offset, given);
  input->Offset += given;
  return static_cast<int>(given);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void FailWith(const GifFileType* gif) {
  const char* text = GifErrorString(gif->Error);
  Fail(text ? text : "unreadable data");
}

// Skips the extension blocks before the first frame, keeping the transparent index of a
// graphic control block. Returns false at the end of the file (no frame at all).
bool SkipToFirstFrame(GifFileType* gif, int* transparentIndex) {
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) FailWith(gif);
    if (record == IMAGE_DESC_RECORD_TYPE) return true;
    if (record == TERMINATE_RECORD_TYPE) return false;
    if (record != EXTENSION_RECORD_TYPE) Fail("unknown record");
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) FailWith(gif);
    if (code == GRAPHICS_EXT_FUNC_CODE && block) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
        *transparentIndex = control.TransparentColor;
      }
    }
    while (block) {
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) FailWith(gif);
    }
  }
}

// The order in which an interlaced frame stores its rows: four passes.
std::vector<int32_t> RowOrder(int32_t height, bool interlaced) {
  std::vector<int32_t> rows;
  rows.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int32_t y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  constexpr int32_t starts[] = {0, 4, 2, 1};
  constexpr int32_t steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int32_t y = starts[pass]; y < height; y += steps[pass]) rows.push_back(y);
  }
  return rows;
}

struct Frame {
  int32_t Left, Top, Width, Height;
  const ColorMapObject* Colours;
  int TransparentIndex;
};

// Draws the frame's rows over the screen, which starts transparent.
void ComposeFrame(GifFileType* gif, const Frame& frame, PixelImage& screen) {
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  for (const int32_t y : RowOrder(frame.Height, gif->Image.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) FailWith(gif);
    const int32_t screenY = frame.Top + y;
    if (screenY >= screen.Height()) continue;
    uint8_t* row = screen.Row(screenY);
    for (int32_t x = 0; x < frame.Width && frame.Left + x < screen.Width(); ++x) {
      const int index = line[static_cast<size_t>(x)];
      if (index == frame.TransparentIndex) continue;
      uint8_t* pixel = row + static_cast<size_t>(frame.Left + x) * 4;
      // An index beyond the colour table shows black, as browsers draw it.
      const GifColorType colour =
          index < frame.Colours->ColorCount ? frame.Colours->Colors[index] : GifColorType{0, 0, 0};
      pixel[0] = colour.Blue;
      pixel[1] = colour.Green;
      pixel[2] = colour.Red;
      pixel[3] = 0xFF;
    }
  }
}

}  // namespace

PixelImage DecodeGif(std::span<const uint8_t> data) {
  if (data.size() < 6 ||
      (std::memcmp(data.data(), "GIF87a", 6) != 0 && std::memcmp(data.data(), "GIF89a", 6) != 0)) {
    Fail("not a GIF file");
  }
  MemoryInput input{data};
  int error = 0;
  GifFile gif(DGifOpen(&input, ReadFromMemory, &error));
  if (!gif) Fail(GifErrorString(error) ? GifErrorString(error) : "unreadable header");

  CheckPictureSize(gif->SWidth, gif->SHeight, 4);
  int transparentIndex = NO_TRANSPARENT_COLOR;
  if (!SkipToFirstFrame(gif.get(), &transparentIndex)) Fail("the file holds no picture");
  if (DGifGetImageDesc(gif.get()) == GIF_ERROR) FailWith(gif.get());
  const GifImageDesc& desc = gif->Image;
  // The frame's own size bounds the decoding time even where it lies off the screen.
  CheckPictureSize(desc.Width, desc.Height, 1);
  const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (!colours) Fail("neither the frame nor the file has a colour table");

  PixelImage screen;
  screen.SetSize(gif->SWidth, gif->SHeight, 32);
  const Frame frame{desc.Left, desc.Top, desc.Width, desc.Height, colours, transparentIndex};
  ComposeFrame(gif.get(), frame, screen);
  // A picture without a transparent pixel takes the rules of one without alpha.
  return AllOpaque(screen) ? WithoutAlpha(screen) : screen;
}
