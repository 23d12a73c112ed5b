// Linked while the DirectDraw driver is not part of the build: the run shows the host
// window alone.
#include "host/drivers.h"

void StartDirectDrawScene(HWND) {}
void FinishDirectDrawScene() {}
void SetDirectDrawSceneAwake(bool) {}
