#include "gdiplus/resource_image.h"

#include <cstring>

#include "framework/win/built_in_picture.h"

std::unique_ptr<TGPBitmap> LoadResourceImage(const char* name, const char* type) {
  const std::span<const uint8_t> bytes = BuiltInPicture(name, type);

  // GDI+ keeps reading the stream after the bitmap is made, so the copy lives for good:
  // the block is neither freed here nor by the stream.
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size());
  void* memory = block != nullptr ? GlobalLock(block) : nullptr;
  if (memory != nullptr && !bytes.empty()) std::memcpy(memory, bytes.data(), bytes.size());

  IStream* stream = nullptr;
  if (block != nullptr && CreateStreamOnHGlobal(block, FALSE, &stream) != S_OK) stream = nullptr;
  auto bitmap = std::make_unique<TGPBitmap>(stream, false);

  if (memory != nullptr) GlobalUnlock(block);
  if (stream != nullptr) stream->Release();  // GDI+ holds its own reference
  return bitmap;
}
