#include "gdiplus/resource_image.h"

#include <cstring>

std::unique_ptr<TGPBitmap> LoadResourceImage(const char* name, const char* type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, name, type);
  const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
  HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;

  // GDI+ keeps reading the stream after the bitmap is made, so the copy lives for good:
  // the block is neither freed here nor by the stream.
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
  void* memory = block != nullptr ? GlobalLock(block) : nullptr;
  if (memory != nullptr && bytes != nullptr) std::memcpy(memory, bytes, size);

  IStream* stream = nullptr;
  if (block != nullptr && CreateStreamOnHGlobal(block, FALSE, &stream) != S_OK) stream = nullptr;
  auto bitmap = std::make_unique<TGPBitmap>(stream, false);

  if (memory != nullptr) GlobalUnlock(block);
  if (stream != nullptr) stream->Release();  // GDI+ holds its own reference
  if (loaded != nullptr) FreeResource(loaded);
  return bitmap;
}
