// The scene form's decisions that need no platform: which decoder a picture entry gets,
// which entries are loaded, where the background comes from, what a key or a mouse
// report does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/background_choice.h"
#include "framework/mouse_start.h"
#include "framework/string_list.h"

enum class PictureDecoder { Png, Jpeg, General };

// By the upper-cased entry: ".PNG" anywhere, else ".JPG" or ".JPEG" anywhere, else the
// general loader (which goes by the extension).
PictureDecoder ChooseDecoder(std::string_view entry);

// Entry k (1-based) as stored, or none when the list is shorter or the entry is blank.
std::optional<std::string> PictureEntry(const TStringList& list, int k);

// What a key that reaches the scene form does. Keys other than Escape and Alt+Enter go to
// the host window so they end the run as they would there; a bare modifier is held back,
// or Alt+Enter could never be typed.
enum class FormKeyAction { Close, SwitchDisplay, ForwardToHost, Ignore };
FormKeyAction ClassifyFormKey(uint16_t key, bool altDown);
