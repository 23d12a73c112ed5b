// What tests and the timing program alone may do to every display of the process. The
// program itself never includes this header.
#pragma once

// From now on every display's surfaces count as lost and none can be restored, as on a
// device that is gone; false: as they are.
void LoseSurfacesForGood(bool lost);
