// What tests and the timing program alone may read of the Direct3D scene. The program itself
// never includes this header.
#pragma once

class TFDxBall;

// The scene form of this process, or null before the start and after a hand-over to the
// GDI+ scene. The form object lives until the process ends; its display finalises when the
// host window is destroyed.
TFDxBall* DirectDrawSceneForm();
