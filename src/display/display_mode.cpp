#include "display/display_mode.h"

namespace {

bool Qualifies(const DisplayMode& m) {
  return m.Width >= FullScreenMode.Width && m.Height >= FullScreenMode.Height && m.BitCount > 8;
}

bool SameAspect(const DisplayMode& m) {
  return static_cast<int64_t>(m.Width) * FullScreenMode.Height ==
         static_cast<int64_t>(m.Height) * FullScreenMode.Width;
}

bool Smaller(const DisplayMode& a, const DisplayMode& b) {
  const int64_t areaA = static_cast<int64_t>(a.Width) * a.Height;
  const int64_t areaB = static_cast<int64_t>(b.Width) * b.Height;
  if (areaA != areaB) return areaA < areaB;
  if (a.Width != b.Width) return a.Width < b.Width;
  return a.BitCount < b.BitCount;
}

std::optional<DisplayMode> Smallest(std::span<const DisplayMode> modes, bool sameAspectOnly) {
  std::optional<DisplayMode> best;
  for (const DisplayMode& m : modes) {
    if (!Qualifies(m) || (sameAspectOnly && !SameAspect(m))) continue;
    if (!best || Smaller(m, *best)) best = m;
  }
  return best;
}

}  // namespace

std::optional<DisplayMode> ChooseFallbackMode(std::span<const DisplayMode> available) {
  if (auto same = Smallest(available, true)) return same;
  return Smallest(available, false);
}
