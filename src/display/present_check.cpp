#include "display/present_check.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t PatternBlock = 16;
constexpr uint32_t PatternMagenta = 0xFF00FF;
constexpr uint32_t PatternGreen = 0x00FF00;
// A 5-bit channel expanded back to 8 bits is off by at most 7.
constexpr int ChannelTolerance = 8;

int Channel(uint32_t color, int shift) {
  return static_cast<int>((color >> shift) & 0xFF);
}

const char* PathName(PresentPath path) {
  return path == PresentPath::ClippedBlt ? "the clipped Blt" : "the GDI copy";
}

}  // namespace

uint32_t PresentPatternColor(int32_t x, int32_t y) {
  const bool odd = ((x / PatternBlock) + (y / PatternBlock)) % 2 != 0;
  return odd ? PatternGreen : PatternMagenta;
}

bool PatternColorMatches(uint32_t read, uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(Channel(read, shift) - Channel(expected, shift)) >= ChannelTolerance) return false;
  }
  return true;
}

std::vector<ScreenRect> PresentAreasOf(const ScreenRect& window,
                                       const std::vector<ScreenRect>& monitors) {
  const ScreenRect client{0, 0, window.Width(), window.Height()};
  if (client.Empty()) return {};
  std::vector<ScreenRect> areas;
  for (const ScreenRect& monitor : monitors) {
    const ScreenRect shared = Intersection(window, monitor);
    if (shared.Empty()) continue;
    areas.push_back({shared.Left - window.Left, shared.Top - window.Top, shared.Right - window.Left,
                     shared.Bottom - window.Top});
  }
  if (areas.empty()) areas.push_back(client);
  return areas;
}

std::vector<PatternSample> PatternSamples(const ScreenRect& area) {
  std::vector<PatternSample> samples;
  if (area.Empty()) return samples;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      // At 1/6, 3/6 and 5/6 of each side: inside the area, away from its edges.
      const int32_t x =
          area.Left +
          static_cast<int32_t>((static_cast<int64_t>(area.Width()) * (2 * column + 1)) / 6);
      const int32_t y = area.Top + static_cast<int32_t>(
                                       (static_cast<int64_t>(area.Height()) * (2 * row + 1)) / 6);
      samples.push_back({x, y});
    }
  }
  return samples;
}

std::vector<PresentArea> ChoosePresentPaths(PresentProbe& probe,
                                            const std::vector<ScreenRect>& areas) {
  const bool presented = probe.PresentPatternByBlt();
  std::vector<PresentArea> chosen;
  for (const ScreenRect& area : areas) {
    bool arrived = presented;
    for (const PatternSample& s : PatternSamples(area)) {
      if (!arrived) break;
      const std::optional<uint32_t> read = probe.ReadWindowPixel(s.X, s.Y);
      arrived = read && PatternColorMatches(*read, PresentPatternColor(s.X, s.Y));
    }
    chosen.push_back({area, arrived ? PresentPath::ClippedBlt : PresentPath::GdiCopy});
  }
  return chosen;
}

bool AllAreasUse(const std::vector<PresentArea>& areas, PresentPath path) {
  return std::all_of(areas.begin(), areas.end(),
                     [path](const PresentArea& a) { return a.Path == path; });
}

std::string DescribePresentPaths(const std::vector<PresentArea>& areas) {
  if (AllAreasUse(areas, PresentPath::ClippedBlt)) return "frames presented by the clipped Blt";
  if (AllAreasUse(areas, PresentPath::GdiCopy)) return "frames presented by the GDI copy";
  std::string text = "frames presented per monitor:";
  for (const PresentArea& a : areas) {
    text += " (" + std::to_string(a.Area.Left) + "," + std::to_string(a.Area.Top) + " " +
            std::to_string(a.Area.Width()) + "x" + std::to_string(a.Area.Height()) + ") by " +
            PathName(a.Path) + ";";
  }
  text.pop_back();
  return text;
}
