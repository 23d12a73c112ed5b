// The settings dialog's decisions that need no window: the spin edit's value rules,
// the track bar's position, the control states taken from the settings, and the save
// plan (which values are written, in which order, with which types).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/screen_layout.h"
#include "settings/setting_table.h"
#include "settings/settings.h"
#include "vesperine_version.h"

inline constexpr int32_t SpinMinimum = SettingFor(RowBallsCount).Range.Minimum;
inline constexpr int32_t SpinMaximum = SettingFor(RowBallsCount).Range.Maximum;
inline constexpr int32_t SpinSmallStep = 1;
inline constexpr int32_t SpinLargeStep = 10;
inline constexpr int32_t BallSizeMinimum = SettingFor(RowBallSize).Range.Minimum;
inline constexpr int32_t BallSizeMaximum = SettingFor(RowBallSize).Range.Maximum;

// The caption names the program's version, major and minor: "Settings  Ver2.22" for 2.22.
inline constexpr char DialogCaption[] = "Settings  Ver" VESPERINE_VERSION_TEXT;

// The two items of the driver box; the text of the chosen one is what Save stores.
inline constexpr std::array<const char*, 2> DriverItems = {"Directx 7.0", "GDI+"};

// Tags of the three background radio buttons, equal to the BackType they stand for.
enum BackgroundTag : int32_t { TagDefault = 1, TagDesktop = 2, TagUser = 3 };

int32_t ClampBallsCount(double value);
int32_t ClampBallSize(double value);

// What the spin edit's text means: the text read as a number (blanks around it allowed),
// rounded half to even and clamped; empty or not a number reads 0.
struct SpinReading {
  int32_t Value = 0;
  bool TextWasEmpty = false;  // the edit then shows "0"
};
SpinReading ReadSpinText(std::string_view text);
std::string SpinText(int32_t value);

// The keys and the wheel that step the spin edit.
enum class SpinKey { Up, Down, PageUp, PageDown };
int32_t SpinKeyStep(SpinKey key);
int32_t StepSpinValue(int32_t value, int32_t step);  // clamped

// Collects wheel rotation: a notch (120 units) is one step, ten with Ctrl held; rotation
// away from the user counts up. Fractions of a notch wait for the rest.
class SpinWheel {
 public:
  int32_t Consume(int wheelDelta, bool controlHeld);

 private:
  int Pending = 0;
};

// Typing is refused except copying out: the characters the edit must swallow with a beep.
bool SpinRefusesCharacter(unsigned code);

int32_t TrackBarPositionFromScale(float sizeScale);
int32_t RadioTagForBackType(int32_t backType);
bool PictureEditEnabled(int32_t tag);
int DriverItemFor(std::string_view driver);

// The settings the dialog is filled from.
struct SettingsSnapshot {
  int32_t BackType = InitialInteger(RowBackType);
  std::string BackPic;
  std::vector<std::string> Pictures;
  int32_t BallsCount = InitialInteger(RowBallsCount);
  bool ShowShadow = InitialBool(RowShowShadow);
  bool SoundOpen = InitialBool(RowSoundOpen);
  float SizeScale = SizeScaleFromBallSize(InitialInteger(RowBallSize));
  std::string Driver;
};
SettingsSnapshot CurrentSettings();  // from the loaded globals

// The states of the controls the save reads.
struct DialogControls {
  int DriverItem = 0;
  bool DriverChanged = false;
  int32_t BallsCount = 0;
  bool ShowShadow = false;
  int32_t BallSize = BallSizeMinimum;
  bool SoundOpen = false;
  int32_t CheckedTag = TagDefault;
  std::string BackPicText;
  std::vector<std::string> Pictures;
};
DialogControls ControlsFromSettings(const SettingsSnapshot& settings);

// A write stores its value the way the table declares it.
using WriteKind = SettingKind;
struct PlannedWrite {
  std::string Name;
  WriteKind Kind = WriteKind::Integer;
  std::string Text;    // for strings
  int32_t Number = 0;  // for integers and Booleans (0 or 1)
  bool operator==(const PlannedWrite&) const = default;
};
std::vector<PlannedWrite> PlanSave(const DialogControls& controls);

// Creates and opens the key and writes the plan in order. A RegistryError stops the save
// where it happened; what was written before it stays written.
void ApplySave(SettingsStore& store, const std::vector<PlannedWrite>& plan);

// The biggest rectangle of the picture's shape that fits the box, centred; never enlarged.
struct FitRect {
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const FitRect&) const = default;
};
FitRect FitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth,
                   int32_t boxHeight);

// Where the dialog opens and the dpi its controls are laid out at. Its design place and
// size (96-dpi pixels; the place counted from the work area's corner) are scaled to the
// monitor's dpi; a dialog that size which is wider or taller than the work area is laid out
// at the largest dpi at which it fits. It is then moved as little as keeps it wholly inside
// the work area, so Save and Cancel can always be reached.
struct DialogPlace {
  ScreenRect Bounds;
  uint32_t LayoutDpi = 96;
  bool operator==(const DialogPlace&) const = default;
};
DialogPlace PlaceDialog(const ScreenRect& design, uint32_t dpi, const ScreenRect& workArea);

// The button glyphs: 17 x 17 pixels, indices into the 16-colour palette below, rows top-down.
inline constexpr int GlyphSide = 17;
using GlyphPixels = std::array<uint8_t, GlyphSide * GlyphSide>;
enum class GlyphKind { Landscape, Cross };
GlyphPixels MakeGlyph(GlyphKind kind);
// Index 0 is the button face, drawn as the face colour; the rest are the standard 16 colours.
inline constexpr uint8_t GlyphFace = 0;
inline constexpr uint8_t GlyphBlack = 1;
inline constexpr uint8_t GlyphGreen = 2;
inline constexpr uint8_t GlyphDarkGreen = 3;
inline constexpr uint8_t GlyphSky = 4;
inline constexpr uint8_t GlyphYellow = 5;
inline constexpr uint8_t GlyphWhite = 6;
inline constexpr uint8_t GlyphGray = 7;
inline constexpr uint8_t GlyphDarkGray = 8;
// RGB of each index; index 0 is replaced by the face colour when the bitmap is made.
inline constexpr std::array<uint32_t, 16> GlyphPalette = {
    0xC0C0C0, 0x000000, 0x00C000, 0x008000, 0x80C0FF, 0xFFFF00, 0xFFFFFF, 0xC0C0C0,
    0x808080, 0x800000, 0x000080, 0x808000, 0x800080, 0x008080, 0xFF0000, 0x0000FF};

// The open dialog's filter: the formats the picture loader reads, all together and each
// alone, as NUL-separated pairs ending in two NULs.
std::string PictureFilter();
