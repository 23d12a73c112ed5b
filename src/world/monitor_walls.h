// Walls inside the world where its monitors do not fill their bounding rectangle (an L of
// three monitors, two of different heights side by side): a bubble must stay where some
// monitor shows it, so the parts no monitor covers bounce it as the outer edges do, and it
// passes freely over a seam where two monitors touch.
//
// A bubble meets a wall as its bounding square, as it always has met the outer edges: in
// centre coordinates each uncovered part, grown by the radius on every side, is a box the
// centre stays out of. At the inside corner of an L the centre meets that box's corner:
// the bubble comes to rest on the face it crosses last on its way in (the face it would have
// hit had the box been a wall there all along), and turns on both axes when it would cross
// both at the same moment. A bubble found inside a box (a display change, a layout that did
// not fit) is put on the nearest place where it fits.
//
// With one monitor, or monitors that fill their bounding rectangle, there are no walls and
// the world moves exactly as before.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/screen_layout.h"
#include "world/bubble_table.h"

// The parts of bounds that none of covers covers, as rectangles that do not overlap. Each
// horizontal run is kept whole, and equal runs of neighbouring bands are one rectangle.
std::vector<ScreenRect> UncoveredParts(const ScreenRect& bounds,
                                       const std::vector<ScreenRect>& covers);

// The world's walls from the monitors of a full-screen run, all in world coordinates (world:
// 0, 0 and WorldRect's size). No monitors clears them.
void SetWorldMonitors(const ScreenRect& world, const std::vector<ScreenRect>& monitors);
void ClearWorldMonitors();
// The parts of the world that no monitor shows.
const std::vector<ScreenRect>& WorldWalls();

// Whether the walls act on bubbles of this radius in the present WorldRect: only where a
// bubble fits somewhere between them. Where none would (a bubble taller than every monitor),
// the world keeps only its outer edges, as on one monitor.
bool WallsHoldBubbles(int32_t radius);

// A layout place whose bubble would overlap a part no monitor shows.
bool PlaceBehindAWall(double x, double y, int32_t radius);

// After a bubble's move: turns it off every wall its next step would reach, then puts it back
// where it fits if it is inside one.
void KeepOffWalls(Bubble& bubble, int32_t radius);
