#include "settings/dialog/dialog_core.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "framework/display_scale.h"
#include "framework/string_list.h"
#include "image/pixel_image.h"
#include "world/bubble_table.h"

namespace {

int32_t ClampRounded(double value, int32_t low, int32_t high) {
  if (std::isnan(value)) return low;
  // nearbyint rounds halves to even in the default rounding mode.
  const double rounded = std::nearbyint(value);
  if (rounded <= low) return low;
  if (rounded >= high) return high;
  return static_cast<int32_t>(rounded);
}

// Plain decimal numbers only ("12", "-3", "+7", "12.5", "1e2"); "inf" and "nan" are words.
std::optional<double> ParseNumber(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

constexpr int WheelNotch = 120;

}  // namespace

int32_t ClampBallsCount(double value) {
  return ClampRounded(value, SpinMinimum, SpinMaximum);
}
int32_t ClampBallSize(double value) {
  return ClampRounded(value, BallSizeMinimum, BallSizeMaximum);
}

SpinReading ReadSpinText(std::string_view text) {
  const std::string trimmed = Trim(text);
  SpinReading reading;
  reading.TextWasEmpty = text.empty();
  if (const auto number = ParseNumber(trimmed)) reading.Value = ClampBallsCount(*number);
  return reading;
}

std::string SpinText(int32_t value) {
  return std::to_string(ClampBallsCount(value));
}

int32_t SpinKeyStep(SpinKey key) {
  switch (key) {
    case SpinKey::Up:
      return SpinSmallStep;
    case SpinKey::Down:
      return -SpinSmallStep;
    case SpinKey::PageUp:
      return SpinLargeStep;
    case SpinKey::PageDown:
      return -SpinLargeStep;
  }
  return 0;
}

int32_t StepSpinValue(int32_t value, int32_t step) {
  return ClampBallsCount(static_cast<double>(value) + step);
}

int32_t SpinWheel::Consume(int wheelDelta, bool controlHeld) {
  Pending += wheelDelta;
  const int notches = Pending / WheelNotch;
  Pending -= notches * WheelNotch;
  return notches * (controlHeld ? SpinLargeStep : SpinSmallStep);
}

bool SpinRefusesCharacter(unsigned code) {
  constexpr unsigned CopyKey = 3;  // Ctrl+C copies and leaves the text alone
  constexpr unsigned Tab = 9, Enter = 13, Escape = 27;
  return code != CopyKey && code != Tab && code != Enter && code != Escape;
}

int32_t TrackBarPositionFromScale(float sizeScale) {
  return ClampBallSize(static_cast<double>(sizeScale) * 10.0);
}

int32_t RadioTagForBackType(int32_t backType) {
  return backType == TagDesktop || backType == TagUser ? backType : TagDefault;
}

bool PictureEditEnabled(int32_t tag) {
  return tag == TagUser;
}

int DriverItemFor(std::string_view driver) {
  return driver == DriverItems[1] ? 1 : 0;
}

SettingsSnapshot CurrentSettings() {
  SettingsSnapshot settings;
  settings.BackType = BackType;
  settings.BackPic = BackPic;
  settings.Pictures = PictureList.Items;
  settings.BallsCount = BallsCount;
  settings.ShowShadow = ShowShadow;
  settings.SoundOpen = SoundOpen;
  settings.SizeScale = SizeScale;
  settings.Driver = Driver;
  return settings;
}

DialogControls ControlsFromSettings(const SettingsSnapshot& settings) {
  DialogControls controls;
  controls.CheckedTag = RadioTagForBackType(settings.BackType);
  controls.BackPicText = settings.BackPic;
  controls.Pictures = settings.Pictures;
  controls.BallsCount = ClampBallsCount(settings.BallsCount);
  controls.ShowShadow = settings.ShowShadow;
  controls.SoundOpen = settings.SoundOpen;
  controls.BallSize = TrackBarPositionFromScale(settings.SizeScale);
  controls.DriverItem = DriverItemFor(settings.Driver);
  return controls;
}

namespace {

PlannedWrite Planned(SettingRow row, std::string text) {
  return {SettingFor(row).Name, SettingFor(row).Kind, std::move(text), 0};
}
PlannedWrite Planned(SettingRow row, int32_t number) {
  return {SettingFor(row).Name, SettingFor(row).Kind, {}, number};
}
PlannedWrite Planned(SettingRow row, bool on) {
  return Planned(row, on ? 1 : 0);
}
PlannedWrite Planned(SettingRow row, const char* text) = delete;  // would pick the bool one

}  // namespace

std::vector<PlannedWrite> PlanSave(const DialogControls& controls) {
  std::vector<PlannedWrite> plan;
  if (controls.DriverChanged) {
    const int item = controls.DriverItem == 1 ? 1 : 0;
    plan.push_back(Planned(RowDriver, std::string(DriverItems[item])));
  }
  plan.push_back(Planned(RowBallsCount, ClampBallsCount(controls.BallsCount)));
  plan.push_back(Planned(RowShowShadow, controls.ShowShadow));
  plan.push_back(Planned(RowBallSize, ClampBallSize(controls.BallSize)));
  plan.push_back(Planned(RowSoundOpen, controls.SoundOpen));
  int32_t backType = TagDefault;
  if (controls.CheckedTag == TagDefault) {
    backType = TagDefault;
  } else if (controls.CheckedTag == TagDesktop) {
    backType = TagDesktop;
  } else if (!Trim(controls.BackPicText).empty()) {
    plan.push_back(Planned(RowBackPic, controls.BackPicText));
    backType = TagUser;
  }
  plan.push_back(Planned(RowBackType, backType));
  TStringList pictures;
  pictures.Items = controls.Pictures;
  plan.push_back(Planned(RowBallPic, pictures.CommaText()));
  return plan;
}

void ApplySave(SettingsStore& store, const std::vector<PlannedWrite>& plan) {
  const std::unique_ptr<SettingsKey> key = OpenForWriting(store);
  for (const PlannedWrite& write : plan) {
    switch (write.Kind) {
      case WriteKind::String:
        WriteString(*key, write.Name, write.Text);
        break;
      case WriteKind::Integer:
        WriteInteger(*key, write.Name, write.Number);
        break;
      case WriteKind::Boolean:
        WriteBool(*key, write.Name, write.Number != 0);
        break;
    }
  }
}

FitRect FitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth,
                   int32_t boxHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
  int64_t width = pictureWidth, height = pictureHeight;
  if (width > boxWidth || height > boxHeight) {
    // Compare the aspect ratios in integers: width / height against the box's.
    if (width * boxHeight >= height * boxWidth) {
      height = std::max<int64_t>(1, height * boxWidth / width);
      width = boxWidth;
    } else {
      width = std::max<int64_t>(1, width * boxHeight / height);
      height = boxHeight;
    }
  }
  return {static_cast<int32_t>((boxWidth - width) / 2),
          static_cast<int32_t>((boxHeight - height) / 2), static_cast<int32_t>(width),
          static_cast<int32_t>(height)};
}

namespace {

int32_t AtDpi(int32_t designPixels, uint32_t dpi) {
  return ScaleHalfToEven(designPixels, dpi, 96);
}

bool FitsAt(const ScreenRect& design, uint32_t dpi, const ScreenRect& area) {
  return AtDpi(design.Width(), dpi) <= area.Width() && AtDpi(design.Height(), dpi) <= area.Height();
}

// Moved as little as keeps [start, start + length) inside [low, high): the far edge first,
// so a window longer than the range keeps its start (its title bar) on it.
int32_t KeptInside(int32_t start, int32_t length, int32_t low, int32_t high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

DialogPlace PlaceDialog(const ScreenRect& design, uint32_t dpi, const ScreenRect& workArea) {
  if (dpi == 0) dpi = 96;
  uint32_t layoutDpi = dpi;
  if (!FitsAt(design, dpi, workArea) && design.Width() > 0 && design.Height() > 0) {
    // The largest dpi that fits, found from the ratio and then checked against the rounding.
    const int64_t byWidth = int64_t{workArea.Width()} * 96 / design.Width();
    const int64_t byHeight = int64_t{workArea.Height()} * 96 / design.Height();
    layoutDpi = static_cast<uint32_t>(std::clamp<int64_t>(std::min(byWidth, byHeight) + 1, 1, dpi));
    while (layoutDpi > 1 && !FitsAt(design, layoutDpi, workArea)) --layoutDpi;
  }
  const int32_t width = AtDpi(design.Width(), layoutDpi);
  const int32_t height = AtDpi(design.Height(), layoutDpi);
  const int32_t left =
      KeptInside(workArea.Left + AtDpi(design.Left, dpi), width, workArea.Left, workArea.Right);
  const int32_t top =
      KeptInside(workArea.Top + AtDpi(design.Top, dpi), height, workArea.Top, workArea.Bottom);
  return {{left, top, left + width, top + height}, layoutDpi};
}

namespace {

void SetPixel(GlyphPixels& pixels, int x, int y, uint8_t colour) {
  if (x >= 0 && x < GlyphSide && y >= 0 && y < GlyphSide) pixels[y * GlyphSide + x] = colour;
}

GlyphPixels Landscape() {
  GlyphPixels pixels;
  pixels.fill(GlyphFace);
  constexpr int first = 1, last = GlyphSide - 2;  // the frame, inside a one-pixel margin
  for (int y = first; y <= last; ++y) {
    for (int x = first; x <= last; ++x) {
      const bool frame = x == first || x == last || y == first || y == last;
      SetPixel(pixels, x, y, frame ? GlyphDarkGray : GlyphSky);
    }
  }
  for (int x = first + 1; x < last; ++x) SetPixel(pixels, x, last + 1, GlyphBlack);  // shadow
  for (int y = first + 1; y <= last + 1; ++y) SetPixel(pixels, last + 1, y, GlyphBlack);
  // The sun in the upper right: a small disc.
  const int sunX = 11, sunY = 5;
  for (int y = sunY - 2; y <= sunY + 2; ++y) {
    for (int x = sunX - 2; x <= sunX + 2; ++x) {
      if ((x - sunX) * (x - sunX) + (y - sunY) * (y - sunY) <= 5)
        SetPixel(pixels, x, y, GlyphYellow);
    }
  }
  // Two hills: a far dark one and a near light one, each a rounded bump.
  for (int x = first + 1; x < last; ++x) {
    const int farTop = 9 + std::abs(x - 5) / 2;
    const int nearTop = 11 + std::abs(x - 11) / 2;
    for (int y = farTop; y < last; ++y) SetPixel(pixels, x, y, GlyphDarkGreen);
    for (int y = nearTop; y < last; ++y) SetPixel(pixels, x, y, GlyphGreen);
  }
  return pixels;
}

GlyphPixels Cross() {
  GlyphPixels pixels;
  pixels.fill(GlyphFace);
  // Two-pixel strokes from corner to corner, three pixels in from the edges.
  for (int i = 3; i <= GlyphSide - 4; ++i) {
    SetPixel(pixels, i, i, GlyphBlack);
    SetPixel(pixels, i + 1, i, GlyphBlack);
    SetPixel(pixels, GlyphSide - 1 - i, i, GlyphBlack);
    SetPixel(pixels, GlyphSide - 2 - i, i, GlyphBlack);
  }
  return pixels;
}

}  // namespace

GlyphPixels MakeGlyph(GlyphKind kind) {
  return kind == GlyphKind::Cross ? Cross() : Landscape();
}

std::string PictureFilter() {
  // Each entry is a name and its patterns, each ended by a NUL; a NUL after the last ends
  // the list.
  const auto entry = [](const std::string& name, const std::string& patterns) {
    return name + " (" + patterns + ")" + '\0' + patterns + '\0';
  };
  std::string all;
  std::string kinds;
  for (const PictureFileKind& kind : PictureFileKinds()) {
    std::string patterns;
    for (const std::string_view extension : kind.Extensions) {
      patterns += (patterns.empty() ? "*." : ";*.") + std::string(extension);
    }
    all += (all.empty() ? "" : ";") + patterns;
    kinds += entry(std::string(kind.Name), patterns);
  }
  return entry("Pictures", all) + kinds + entry("All files", "*.*") + '\0';
}
