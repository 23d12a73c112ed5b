// How a windowed display's frames reach the screen. A clipped Blt from the back surface to
// the primary presents without reading the frame back to system memory; a GDI copy from
// the back surface's DC always shows, but makes the device finish and copies every frame
// back. Not every system shows the Blt in a child window (Wine 8 does not), so the display
// presents a known pattern by the Blt once, reads the window back through GDI, and keeps
// the Blt only where the pattern arrived. Portable, so the choice is tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/screen_layout.h"

enum class PresentPath { ClippedBlt, GdiCopy };

// A part of the window's client area, in client coordinates, and how it is presented.
struct PresentArea {
  ScreenRect Area;
  PresentPath Path = PresentPath::GdiCopy;
  bool operator==(const PresentArea&) const = default;
};

// The pattern's colour at (x, y) of the client area, 0xRRGGBB: a checker of magenta and
// green, which no picture is likely to show by chance and 16-bit surfaces keep exactly.
uint32_t PresentPatternColor(int32_t x, int32_t y);

// Whether a colour read back is the pattern's, allowing for a 16-bit surface's rounding.
bool PatternColorMatches(uint32_t read, uint32_t expected);

// The parts of the client area each monitor shows, in client coordinates; the whole client
// area when no monitor is known. window: the client area in screen coordinates.
std::vector<ScreenRect> PresentAreasOf(const ScreenRect& window,
                                       const std::vector<ScreenRect>& monitors);

// The points of an area where the pattern is looked for: a 3 x 3 grid spread over it.
struct PatternSample {
  int32_t X;
  int32_t Y;
};
std::vector<PatternSample> PatternSamples(const ScreenRect& area);

class PresentProbe {
 public:
  virtual ~PresentProbe() = default;
  // Presents the pattern over the whole client area by the clipped Blt; false when the
  // Blt itself failed.
  virtual bool PresentPatternByBlt() = 0;
  // What the window shows at (x, y) of its client area, 0xRRGGBB; none when unreadable.
  virtual std::optional<uint32_t> ReadWindowPixel(int32_t x, int32_t y) = 0;
};

// The Blt for each area where every sample shows the pattern, the GDI copy elsewhere.
std::vector<PresentArea> ChoosePresentPaths(PresentProbe& probe,
                                            const std::vector<ScreenRect>& areas);

bool AllAreasUse(const std::vector<PresentArea>& areas, PresentPath path);

// One line for the debug trace, e.g. "frames presented by the GDI copy".
std::string DescribePresentPaths(const std::vector<PresentArea>& areas);
