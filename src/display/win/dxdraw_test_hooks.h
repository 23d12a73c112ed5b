// What tests and the timing program alone may do to, or read of, every display of the
// process. The program itself never includes this header.
#pragma once

#include <windows.h>

#include <optional>

#include "display/present_check.h"
#include "framework/screen_layout.h"

// Surfaces and texture copies of all displays currently held, for leak tests.
int LiveSurfaceCount();
// The reference count the DirectDraw object had left at the end of the last Finalize of any
// display: 0 when every surface made from it was released too.
ULONG LastDirectDrawReleaseCount();
// Every texture's device copy is refused from now on, as a device without video memory left
// refuses it; the texture objects still exist.
void RefuseTextureCopies(bool refuse);
// For measuring each path: a child window's frames take this one instead of the one the
// check would choose (nullopt: the check chooses again).
void ForcePresentPath(std::optional<PresentPath> path);
// Devices say they take surfaces of this size at most (0: as they are).
void LimitSurfaces(SurfaceLimit limit);
// From now on every display's surfaces count as lost and none can be restored, as on a
// device that is gone; false: as they are.
void LoseSurfacesForGood(bool lost);
