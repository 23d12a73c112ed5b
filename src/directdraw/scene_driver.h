// The DirectDraw run's entry points (declared in host/drivers.h) and its form.
#pragma once

#include "host/drivers.h"

class TFDxBall;

// The scene form of this process, or null before the start. The form object lives until
// the process ends; its display finalises when the host window is destroyed.
TFDxBall* DirectDrawSceneForm();
