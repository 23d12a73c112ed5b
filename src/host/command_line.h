// The saver's command line as the system hands it over: the first parameter picks the
// mode, the second is a window handle for /p and /a. Portable, so every rule is tested
// natively; the Windows host only feeds it the program's arguments.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

enum ScreenSaverMode : uint8_t { smChangePassword = 0, smPreview = 1, smConfigure = 2, smRun = 3 };

// The parameters after the program name, as the platform splits them.
using SaverArguments = std::vector<std::string>;

// Whether the first parameter is the switch Letter (an upper-case letter): "c", "/c",
// "-C", "\c", "/c:1234" all match 'C'. An absent or empty parameter matches every letter.
bool HasSwitch(const SaverArguments& arguments, char Letter);

// First match of C, A, P; anything else runs full screen. No parameter: configure.
ScreenSaverMode DecideMode(const SaverArguments& arguments);

// The conversion error of a number on the command line.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A decimal 32-bit signed integer with an optional sign and nothing else around it;
// anything else throws ConversionError "'<text>' is not a valid integer value".
int32_t ParseInteger(const std::string& text);

// The second parameter read as a window handle; absent reads as "".
int32_t HandleArgument(const SaverArguments& arguments);

// What a preview handle names. Zero means no parent (the preview fills the screen).
// A negative value is never a window we may use: -3 is HWND_MESSAGE, and a message-only
// host window is never destroyed by anyone, so the saver would never end.
enum class PreviewParentKind { None, NoSuchWindow, Candidate };
PreviewParentKind ClassifyPreviewHandle(int32_t handle);
