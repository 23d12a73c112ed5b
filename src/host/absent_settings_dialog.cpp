// Linked while the settings dialog is not part of the build: configuring does nothing.
#include "host/drivers.h"

void RunSettingsDialog() {}
