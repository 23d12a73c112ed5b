// The configure mode as the host sees it.
#pragma once

#include "drivers/win/driver_table.h"

// The table the host runs TFBallPara through.
const ConfigureDriver& SettingsDialogDriver();
