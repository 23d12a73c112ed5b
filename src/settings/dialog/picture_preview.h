// The open dialog's preview: the chosen picture shrunk into a box and flattened over a
// plain background, so any picture the loader reads can be shown as an opaque bitmap.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/pixel_image.h"

// Files above this size are not decoded for a preview: choosing one must stay quick.
inline constexpr uint64_t MaxPreviewFileBytes = 32ull * 1024 * 1024;

// A 24-bit image of the picture's shape, at most box in each direction, every pixel with
// alpha blended over background (0xRRGGBB). Empty when either is empty.
PixelImage MakePreviewImage(PixelImage picture, int32_t boxWidth, int32_t boxHeight,
                            uint32_t background);

// Loads and shrinks a file; no value for a file that cannot be read or decoded.
std::optional<PixelImage> LoadPreviewImage(const std::string& path, int32_t boxWidth,
                                           int32_t boxHeight, uint32_t background);
