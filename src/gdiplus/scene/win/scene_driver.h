// The GDI+ run as the host sees it.
#pragma once

#include "drivers/win/driver_table.h"

// The table the host starts, finishes and wakes TFMain through.
const FullScreenDriver& GdiplusSceneDriver();
