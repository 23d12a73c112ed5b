// What tests alone may replace in the GDI+ scene. The program itself never includes this
// header.
#pragma once

#include <windows.h>

// The call that hands a composed picture to a layered window; tests put in one that also
// records what it was given. Returns the previous one.
using LayeredWindowUpdate = BOOL(WINAPI*)(HWND window, HDC screen, POINT* destination, SIZE* size,
                                          HDC source, POINT* sourceOrigin, COLORREF key,
                                          BLENDFUNCTION* blend, DWORD flags);
LayeredWindowUpdate SetLayeredWindowUpdate(LayeredWindowUpdate update);

class TFMain;

// The scene form of the running GDI+ driver, or null.
TFMain* GdiplusSceneForm();
