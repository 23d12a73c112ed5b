#include "host/command_line.h"

#include <cstdint>
#include <limits>

namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsSwitchLead(char c) {
  return c == '-' || c == '/' || c == '\\';
}

[[noreturn]] void ThrowNotAnInteger(const std::string& text) {
  throw ConversionError("'" + text + "' is not a valid integer value");
}

}  // namespace

bool HasSwitch(const SaverArguments& arguments, char Letter) {
  if (arguments.empty() || arguments.front().empty()) return true;
  const std::string& first = arguments.front();
  if (first.size() == 1) return AsciiUpper(first[0]) == Letter;
  if (!IsSwitchLead(first[0])) return false;
  return AsciiUpper(first[1]) == Letter;
}

ScreenSaverMode DecideMode(const SaverArguments& arguments) {
  if (HasSwitch(arguments, 'C')) return smConfigure;
  if (HasSwitch(arguments, 'A')) return smChangePassword;
  if (HasSwitch(arguments, 'P')) return smPreview;
  return smRun;
}

int32_t ParseInteger(const std::string& text) {
  size_t position = 0;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  if (position == text.size()) ThrowNotAnInteger(text);
  // Accumulated as a magnitude in 64 bits, so -2147483648 fits and overflow is caught
  // digit by digit before it can wrap.
  int64_t magnitude = 0;
  const int64_t limit = negative ? int64_t{std::numeric_limits<int32_t>::max()} + 1
                                 : int64_t{std::numeric_limits<int32_t>::max()};
  for (; position < text.size(); ++position) {
    char c = text[position];
    if (c < '0' || c > '9') ThrowNotAnInteger(text);
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) ThrowNotAnInteger(text);
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t HandleArgument(const SaverArguments& arguments) {
  return ParseInteger(arguments.size() > 1 ? arguments[1] : std::string());
}

PreviewParentKind ClassifyPreviewHandle(int32_t handle) {
  if (handle == 0) return PreviewParentKind::None;
  if (handle < 0) return PreviewParentKind::NoSuchWindow;
  return PreviewParentKind::Candidate;
}
