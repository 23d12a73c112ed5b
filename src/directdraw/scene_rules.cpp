#include "directdraw/scene_rules.h"

#include <algorithm>
#include <cctype>

namespace {

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

constexpr uint16_t KeyEnter = 13;
constexpr uint16_t KeyEscape = 27;
constexpr uint16_t KeyShift = 16, KeyControl = 17, KeyMenu = 18;
constexpr uint16_t KeyLeftShift = 0xA0, KeyRightMenu = 0xA5;
constexpr uint16_t KeyLeftWin = 0x5B, KeyRightWin = 0x5C;

// Blank once leading and trailing blanks and control characters are removed.
bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c <= ' '; });
}

bool IsModifier(uint16_t key) {
  return key == KeyShift || key == KeyControl || key == KeyMenu ||
         (key >= KeyLeftShift && key <= KeyRightMenu) || key == KeyLeftWin || key == KeyRightWin;
}

}  // namespace

PictureDecoder ChooseDecoder(std::string_view entry) {
  const std::string upper = UpperAscii(entry);
  if (upper.find(".PNG") != std::string::npos) return PictureDecoder::Png;
  if (upper.find(".JPG") != std::string::npos || upper.find(".JPEG") != std::string::npos) {
    return PictureDecoder::Jpeg;
  }
  return PictureDecoder::General;
}

std::optional<std::string> PictureEntry(const TStringList& list, int k) {
  if (k < 1 || k > list.Count()) return std::nullopt;
  const std::string& entry = list.Items[static_cast<size_t>(k - 1)];
  if (IsBlank(entry)) return std::nullopt;
  return entry;
}

FormKeyAction ClassifyFormKey(uint16_t key, bool altDown) {
  if (key == KeyEscape) return FormKeyAction::Close;
  if (key == KeyEnter && altDown) return FormKeyAction::SwitchDisplay;
  if (IsModifier(key)) return FormKeyAction::Ignore;
  return FormKeyAction::ForwardToHost;
}

void DisplayLossWatch::FrameDue(uint32_t nowMs, bool drew) {
  if (drew) {
    LostSince.reset();
    return;
  }
  if (!LostSince) LostSince = nowMs;
  if (nowMs - *LostSince >= LostDisplayGiveUpMs) Given = true;
}
