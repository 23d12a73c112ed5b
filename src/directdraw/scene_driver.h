// The DirectDraw run as the host sees it, and its form.
#pragma once

#include "drivers/driver_table.h"

class TFDxBall;

// The table the host starts, finishes and wakes TFDxBall through.
const FullScreenDriver& DirectDrawSceneDriver();

// The scene form of this process, or null before the start. The form object lives until
// the process ends; its display finalises when the host window is destroyed.
TFDxBall* DirectDrawSceneForm();
