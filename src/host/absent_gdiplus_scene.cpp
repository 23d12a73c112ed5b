// Linked while the GDI+ scene is not part of the build: the run shows the host window
// alone.
#include "host/drivers.h"

void StartGdiplusScene(HWND) {}
void FinishGdiplusScene() {}
void SetGdiplusSceneAwake(bool) {}
