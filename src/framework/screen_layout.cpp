#include "framework/screen_layout.h"

#include <algorithm>
#include <utility>

#include "framework/picture_fit.h"

namespace {

ScreenRect Offset(const ScreenRect& rect, int32_t dx, int32_t dy) {
  return {rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
}

}  // namespace

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b) {
  ScreenRect both{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                  std::min(a.Bottom, b.Bottom)};
  return both.Empty() ? ScreenRect{} : both;
}

ScreenRect DeviceDrawArea(const ScreenLayout& layout, const ScreenRect& window,
                          std::optional<SurfaceLimit> limit) {
  const auto fits = [&](const ScreenRect& area) {
    return limit && (limit->Width <= 0 || area.Width() <= limit->Width) &&
           (limit->Height <= 0 || area.Height() <= limit->Height);
  };
  if (fits(window)) return window;
  // The primary monitor is the one at the screen's origin.
  const ScreenRect origin = layout.ToWorld({0, 0, 1, 1});
  ScreenRect primary = window;
  for (const ScreenRect& monitor : layout.MonitorRects()) {
    if (Intersection(monitor, origin).Empty()) continue;
    if (!Intersection(monitor, window).Empty()) primary = Intersection(monitor, window);
    break;
  }
  if (limit && limit->Width > 0)
    primary.Right = std::min(primary.Right, primary.Left + limit->Width);
  if (limit && limit->Height > 0)
    primary.Bottom = std::min(primary.Bottom, primary.Top + limit->Height);
  return primary;
}

ScreenLayout::ScreenLayout(ScreenRect virtualScreen, std::vector<MonitorArea> monitors)
    : VirtualScreen(virtualScreen) {
  for (MonitorArea& area : monitors) {
    area.Monitor = Intersection(area.Monitor, VirtualScreen);
    if (area.Monitor.Empty()) continue;
    area.Work = Intersection(area.Work, area.Monitor);
    if (area.Work.Empty()) area.Work = area.Monitor;
    Monitors.push_back(area);
  }
  if (Monitors.empty() && !VirtualScreen.Empty())
    Monitors.push_back({VirtualScreen, VirtualScreen});
}

ScreenRect ScreenLayout::ToWorld(const ScreenRect& screen) const {
  return Offset(screen, -VirtualScreen.Left, -VirtualScreen.Top);
}

ScreenRect ScreenLayout::ToScreen(const ScreenRect& world) const {
  return Offset(world, VirtualScreen.Left, VirtualScreen.Top);
}

std::vector<ScreenRect> ScreenLayout::MonitorRects() const {
  std::vector<ScreenRect> rects;
  for (const MonitorArea& area : Monitors) rects.push_back(ToWorld(area.Monitor));
  return rects;
}

std::vector<ScreenRect> ScreenLayout::WorkRects() const {
  std::vector<ScreenRect> rects;
  for (const MonitorArea& area : Monitors) rects.push_back(ToWorld(area.Work));
  return rects;
}

ScreenRect ScreenLayout::WorkBounds() const {
  const std::vector<ScreenRect> work = WorkRects();
  if (work.empty()) return {};
  ScreenRect bounds = work.front();
  for (const ScreenRect& rect : work) {
    bounds.Left = std::min(bounds.Left, rect.Left);
    bounds.Top = std::min(bounds.Top, rect.Top);
    bounds.Right = std::max(bounds.Right, rect.Right);
    bounds.Bottom = std::max(bounds.Bottom, rect.Bottom);
  }
  return bounds;
}

namespace {

// A world rectangle in the pixels of a picture that spans the whole world.
ScreenRect InPicture(const ScreenRect& world, const ScreenRect& whole, int32_t width,
                     int32_t height) {
  if (whole.Width() == width && whole.Height() == height) return world;
  const auto scale = [](int32_t value, int32_t to, int32_t from) {
    return static_cast<int32_t>(static_cast<int64_t>(value) * to / (from > 0 ? from : 1));
  };
  return {scale(world.Left, width, whole.Width()), scale(world.Top, height, whole.Height()),
          scale(world.Right, width, whole.Width()), scale(world.Bottom, height, whole.Height())};
}

}  // namespace

std::vector<BackgroundPart> BackgroundParts(const ScreenLayout& layout, int32_t pictureWidth,
                                            int32_t pictureHeight, BackgroundKind kind,
                                            bool onWorkAreas, const ScreenRect& surface) {
  std::vector<BackgroundPart> parts;
  if (pictureWidth <= 0 || pictureHeight <= 0) return parts;
  const std::vector<ScreenRect> monitors = layout.MonitorRects();
  const std::vector<ScreenRect> work = layout.WorkRects();
  const ScreenRect wholePicture{0, 0, pictureWidth, pictureHeight};
  for (size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect area = onWorkAreas ? work[i] : monitors[i];
    const ScreenRect dest = Offset(area, -surface.Left, -surface.Top);
    const ScreenRect source =
        kind == BackgroundKind::Picture
            ? FillSource(pictureWidth, pictureHeight, dest.Width(), dest.Height())
            : Intersection(InPicture(monitors[i], layout.World(), pictureWidth, pictureHeight),
                           wholePicture);
    if (!dest.Empty() && !source.Empty()) parts.push_back({source, dest});
  }
  return parts;
}
