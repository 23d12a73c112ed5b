#include "framework/win/built_in_picture.h"

#include <windows.h>

std::span<const uint8_t> BuiltInPicture(const char* name, const char* type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, name, type);
  HGLOBAL handle = resource ? LoadResource(module, resource) : nullptr;
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data) return {};
  return {static_cast<const uint8_t*>(data), SizeofResource(module, resource)};
}
