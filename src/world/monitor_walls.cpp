#include "world/monitor_walls.h"

#include <algorithm>
#include <limits>

namespace {

std::vector<ScreenRect> Walls;
uint64_t WallsVersion = 0;

struct Box {
  double Left;
  double Top;
  double Right;
  double Bottom;
};

// A wall as the box a bubble's centre stays out of.
Box Grown(const ScreenRect& wall, int32_t radius) {
  const double r = radius;
  return {wall.Left - r, wall.Top - r, wall.Right + r, wall.Bottom + r};
}

bool StrictlyInside(const Box& box, double x, double y) {
  return box.Left < x && x < box.Right && box.Top < y && y < box.Bottom;
}

std::vector<int32_t> SortedEdges(std::vector<int32_t> edges) {
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  return edges;
}

bool CellCovered(const std::vector<ScreenRect>& covers, int32_t left, int32_t top, int32_t right,
                 int32_t bottom) {
  for (const ScreenRect& c : covers) {
    if (c.Left <= left && right <= c.Right && c.Top <= top && bottom <= c.Bottom) return true;
  }
  return false;
}

// Adds one band's run, joining it to the part above when that part has the same run.
void AddRun(std::vector<ScreenRect>& parts, const ScreenRect& run) {
  for (ScreenRect& part : parts) {
    if (part.Left == run.Left && part.Right == run.Right && part.Bottom == run.Top) {
      part.Bottom = run.Bottom;
      return;
    }
  }
  parts.push_back(run);
}

// Where a bubble's centre may be for the present walls and world: the cells of the grid of
// every box edge that no box covers. Kept until the radius, the world or the walls change.
struct FreeCells {
  int32_t Radius = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint64_t Version = std::numeric_limits<uint64_t>::max();
  std::vector<Box> Cells;
};
FreeCells Free;

std::vector<Box> FindFreeCells(int32_t radius) {
  const Box centres{static_cast<double>(radius), static_cast<double>(radius),
                    static_cast<double>(int64_t(WorldRect.Width) - radius),
                    static_cast<double>(int64_t(WorldRect.Height) - radius)};
  if (!(centres.Left < centres.Right && centres.Top < centres.Bottom)) return {};
  std::vector<double> xs{centres.Left, centres.Right};
  std::vector<double> ys{centres.Top, centres.Bottom};
  for (const ScreenRect& wall : Walls) {
    const Box box = Grown(wall, radius);
    for (double x : {box.Left, box.Right})
      if (centres.Left < x && x < centres.Right) xs.push_back(x);
    for (double y : {box.Top, box.Bottom})
      if (centres.Top < y && y < centres.Bottom) ys.push_back(y);
  }
  std::sort(xs.begin(), xs.end());
  std::sort(ys.begin(), ys.end());
  std::vector<Box> cells;
  for (size_t j = 0; j + 1 < ys.size(); ++j) {
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      const Box cell{xs[i], ys[j], xs[i + 1], ys[j + 1]};
      if (!(cell.Left < cell.Right && cell.Top < cell.Bottom)) continue;
      const double midX = (cell.Left + cell.Right) / 2;
      const double midY = (cell.Top + cell.Bottom) / 2;
      const bool covered = std::any_of(Walls.begin(), Walls.end(), [&](const ScreenRect& wall) {
        return StrictlyInside(Grown(wall, radius), midX, midY);
      });
      if (!covered) cells.push_back(cell);
    }
  }
  return cells;
}

const std::vector<Box>& FreeCellsFor(int32_t radius) {
  if (Free.Version != WallsVersion || Free.Radius != radius || Free.Width != WorldRect.Width ||
      Free.Height != WorldRect.Height) {
    Free.Cells = FindFreeCells(radius);
    Free.Radius = radius;
    Free.Width = WorldRect.Width;
    Free.Height = WorldRect.Height;
    Free.Version = WallsVersion;
  }
  return Free.Cells;
}

// The nearest place where the bubble fits; its velocity is kept, so it goes on from there.
void PutWhereItFits(Bubble& b, int32_t radius) {
  double bestX = b.X;
  double bestY = b.Y;
  double best = std::numeric_limits<double>::infinity();
  for (const Box& cell : FreeCellsFor(radius)) {
    const double x = std::clamp(b.X, cell.Left, cell.Right);
    const double y = std::clamp(b.Y, cell.Top, cell.Bottom);
    const double distance = (x - b.X) * (x - b.X) + (y - b.Y) * (y - b.Y);
    if (distance < best) {
      best = distance;
      bestX = x;
      bestY = y;
    }
  }
  b.X = bestX;
  b.Y = bestY;
}

// When along this step's path (0 now, 1 the look-ahead position) the centre is within the
// box on one axis: from Enter to Leave. A centre at rest on the axis is within it always or
// never.
struct Span {
  double Enter;
  double Leave;
};

Span SpanOnAxis(double position, double velocity, double low, double high) {
  constexpr double forever = std::numeric_limits<double>::infinity();
  if (velocity == 0) {
    if (position < low || position > high) return {forever, -forever};
    return {-forever, forever};
  }
  const double a = (low - position) / velocity;
  const double b = (high - position) / velocity;
  return {std::min(a, b), std::max(a, b)};
}

// The step would bring the centre onto or into the box: it stops on the face it meets, and
// turns on that axis, scaled by Restitution, as at an outer edge. The face it meets is the one
// it would cross last, and both when it would cross them at once.
void TurnOffBox(Bubble& b, const Box& box) {
  const Span x = SpanOnAxis(b.X, b.VX, box.Left, box.Right);
  const Span y = SpanOnAxis(b.Y, b.VY, box.Top, box.Bottom);
  const double enter = std::max(x.Enter, y.Enter);
  const double leave = std::min(x.Leave, y.Leave);
  // Entering now or before means it sits on a face moving along it or away: nothing to turn.
  if (!(enter >= 0 && enter <= 1 && enter <= leave)) return;
  if (x.Enter == enter) {
    b.X = b.VX > 0 ? box.Left : box.Right;
    b.VX = -b.VX * Restitution;
  }
  if (y.Enter == enter) {
    b.Y = b.VY > 0 ? box.Top : box.Bottom;
    b.VY = -b.VY * Restitution;
  }
}

}  // namespace

std::vector<ScreenRect> UncoveredParts(const ScreenRect& bounds,
                                       const std::vector<ScreenRect>& covers) {
  if (bounds.Empty()) return {};
  std::vector<int32_t> xs{bounds.Left, bounds.Right};
  std::vector<int32_t> ys{bounds.Top, bounds.Bottom};
  for (const ScreenRect& cover : covers) {
    const ScreenRect c = Intersection(cover, bounds);
    if (c.Empty()) continue;
    xs.insert(xs.end(), {c.Left, c.Right});
    ys.insert(ys.end(), {c.Top, c.Bottom});
  }
  xs = SortedEdges(std::move(xs));
  ys = SortedEdges(std::move(ys));
  std::vector<ScreenRect> parts;
  for (size_t j = 0; j + 1 < ys.size(); ++j) {
    size_t i = 0;
    while (i + 1 < xs.size()) {
      if (CellCovered(covers, xs[i], ys[j], xs[i + 1], ys[j + 1])) {
        ++i;
        continue;
      }
      size_t end = i + 1;
      while (end + 1 < xs.size() && !CellCovered(covers, xs[end], ys[j], xs[end + 1], ys[j + 1]))
        ++end;
      AddRun(parts, {xs[i], ys[j], xs[end], ys[j + 1]});
      i = end;
    }
  }
  return parts;
}

void SetWorldMonitors(const ScreenRect& world, const std::vector<ScreenRect>& monitors) {
  Walls = monitors.empty() ? std::vector<ScreenRect>{} : UncoveredParts(world, monitors);
  ++WallsVersion;
}

void ClearWorldMonitors() {
  Walls.clear();
  ++WallsVersion;
}

const std::vector<ScreenRect>& WorldWalls() {
  return Walls;
}

bool WallsHoldBubbles(int32_t radius) {
  return radius > 0 && !Walls.empty() && !FreeCellsFor(radius).empty();
}

bool PlaceBehindAWall(double x, double y, int32_t radius) {
  if (!WallsHoldBubbles(radius)) return false;
  return std::any_of(Walls.begin(), Walls.end(), [&](const ScreenRect& wall) {
    return StrictlyInside(Grown(wall, radius), x, y);
  });
}

void KeepOffWalls(Bubble& bubble, int32_t radius) {
  for (const ScreenRect& wall : Walls) TurnOffBox(bubble, Grown(wall, radius));
  for (const ScreenRect& wall : Walls) {
    if (StrictlyInside(Grown(wall, radius), bubble.X, bubble.Y)) {
      PutWhereItFits(bubble, radius);
      return;
    }
  }
}
