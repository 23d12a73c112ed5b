// Where a full-screen scene's background comes from, by the stored BackType and BackPic.
// Both drivers' scene forms decide it the same way.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/screen_layout.h"

enum class BackgroundSource { BuiltIn, ScreenCopy, File };

// BackType 3 with a picture name that is not blank (characters up to the space only): the
// file; 2: a copy of the screen; anything else the built-in picture.
BackgroundSource ChooseBackground(int32_t backType, std::string_view backPic);

// How a background from the source lies over several monitors: a copy of the screen is
// the virtual screen's, any other picture is stretched over each monitor.
BackgroundKind BackgroundKindOf(BackgroundSource source);
