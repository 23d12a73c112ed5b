// The GDI+ run as the host sees it, and its form.
#pragma once

#include "drivers/driver_table.h"

class TFMain;

// The table the host starts, finishes and wakes TFMain through.
const FullScreenDriver& GdiplusSceneDriver();

// The scene form of the running GDI+ driver, or null (for tests and diagnostics).
TFMain* GdiplusSceneForm();
