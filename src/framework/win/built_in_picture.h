// The pictures carried as resources of the program module.
#pragma once

#include <cstdint>
#include <span>

// The bytes of a built-in picture, e.g. ("BALL", "PNG"); empty when it is missing. They
// stay where they are while the program runs.
std::span<const uint8_t> BuiltInPicture(const char* name, const char* type);
