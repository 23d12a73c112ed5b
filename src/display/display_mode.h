// The full-screen display mode rule, portable: the wanted mode, and the fallback when
// the platform refuses it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

struct DisplayMode {
  int32_t Width;
  int32_t Height;
  int32_t BitCount;
  bool operator==(const DisplayMode&) const = default;
};

inline constexpr DisplayMode FullScreenMode{640, 480, 16};

// The smallest mode of at least 640 x 480 and more than 8 bits per pixel, of 640 x 480's
// aspect ratio if one exists, else of any; none when no mode qualifies. Among modes of
// one size the lower bit depth is the smaller.
std::optional<DisplayMode> ChooseFallbackMode(std::span<const DisplayMode> available);
