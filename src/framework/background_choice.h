// Where a full-screen scene's background comes from, by the stored BackType and BackPic.
// Both drivers' scene forms decide it the same way.
#pragma once

#include <cstdint>
#include <string_view>

enum class BackgroundSource { BuiltIn, ScreenCopy, File };

// BackType 3 with a picture name that is not blank (characters up to the space only): the
// file; 2: a copy of the screen; anything else the built-in picture.
BackgroundSource ChooseBackground(int32_t backType, std::string_view backPic);
