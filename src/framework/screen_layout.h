// The desktop a full-screen run covers: the virtual screen (the rectangle round every
// monitor, whose origin may be negative) and each monitor in it. The world keeps its own
// coordinates, from 0, 0 to the virtual screen's size: world (0, 0) is the virtual
// screen's top-left corner, and drawing adds that origin back. The host window covers
// the virtual screen, so its client coordinates are world coordinates.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct ScreenRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const ScreenRect&) const = default;
};

struct MonitorArea {
  ScreenRect Monitor;  // the whole monitor, in screen coordinates
  ScreenRect Work;     // the monitor less the task bar and docked bars
};

class ScreenLayout {
 public:
  // Monitors are kept to the virtual screen; with none (the platform could not tell) the
  // virtual screen is one monitor whose work area is all of it.
  ScreenLayout(ScreenRect virtualScreen, std::vector<MonitorArea> monitors);

  const ScreenRect& Virtual() const { return VirtualScreen; }
  // The world: 0, 0 and the virtual screen's size.
  ScreenRect World() const { return {0, 0, VirtualScreen.Width(), VirtualScreen.Height()}; }
  ScreenRect ToWorld(const ScreenRect& screen) const;
  ScreenRect ToScreen(const ScreenRect& world) const;
  // Each monitor in world coordinates, in the platform's order: a background picture
  // fills each of these on its own, never across a seam.
  std::vector<ScreenRect> MonitorRects() const;
  // Each monitor's work area in world coordinates.
  std::vector<ScreenRect> WorkRects() const;
  // The smallest rectangle that holds every work area, in world coordinates.
  ScreenRect WorkBounds() const;

 private:
  ScreenRect VirtualScreen;
  std::vector<MonitorArea> Monitors;
};

// The part two rectangles share; empty (all zero) when they share none.
ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b);

// The largest surface a drawing device takes; 0 where it does not say.
struct SurfaceLimit {
  int32_t Width = 0;
  int32_t Height = 0;
};

// The part of a run's window (window: its client area, in world coordinates) that a
// Direct3D device draws. All of it when the device takes a surface that large; else the
// primary monitor's part, kept to the device's limit, so that the monitor a user looks at
// first shows the scene and the rest stays the window's black. limit is nullopt when no
// device could be made over the whole window at all.
ScreenRect DeviceDrawArea(const ScreenLayout& layout, const ScreenRect& window,
                          std::optional<SurfaceLimit> limit);

// One monitor's share of a background: a part of the picture, in the picture's pixels,
// and where it is stretched to, in the pixels of the surface it is drawn on.
struct BackgroundPart {
  ScreenRect Source;
  ScreenRect Dest;
};

// A picture fills each monitor on its own, never across a seam, keeping its proportions
// (cut around its centre, see FillSource); a copy of the whole virtual screen gives each
// monitor its own part, stretched, so every monitor shows its own desktop. onWorkAreas: the
// destinations are the work areas instead of the monitors. surface: the drawing surface's place in
// the world (its top-left is its (0, 0)).
enum class BackgroundKind { Picture, VirtualScreenCopy };
std::vector<BackgroundPart> BackgroundParts(const ScreenLayout& layout, int32_t pictureWidth,
                                            int32_t pictureHeight, BackgroundKind kind,
                                            bool onWorkAreas, const ScreenRect& surface);
