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

// A display whose frames are due but cannot be drawn for this long is taken as gone for good,
// and the run goes on with the GDI+ scene. Long enough for what passes by itself (a display
// mode change settling, a driver reset recovering, a moment on another desktop); short enough
// that a user who looks sees only a few seconds of a still picture.
inline constexpr uint32_t LostDisplayGiveUpMs = 3000;

// Watches whether the frames that are due get drawn. Time while no frame is due (the display
// off, the scene hidden) does not count. Tick counts wrap.
class DisplayLossWatch {
 public:
  // A frame was due at nowMs; drew tells whether the display could draw it.
  void FrameDue(uint32_t nowMs, bool drew);
  // No frames are due until the next FrameDue: an undrawn stretch starts afresh after it.
  void Rest() { LostSince.reset(); }
  bool GaveUp() const { return Given; }

 private:
  std::optional<uint32_t> LostSince;
  bool Given = false;
};
