// The program icon: a tinted glass bubble on a transparent ground, drawn afresh at each
// size, and the .ico container that holds the sizes.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace art {

inline constexpr int IconSizes[] = {16, 32, 48};

// side x side RGBA, alpha not premultiplied.
Picture RenderIcon(int side);

// An .ico file with one 32-bit BMP entry (colour and alpha plus the 1-bit AND mask)
// per picture, in the order given. Each picture is RGBA and at most 255 pixels square.
std::vector<uint8_t> EncodeIco(const std::vector<Picture>& pictures);

}  // namespace art
