#include "gdiplus/scene/win/scene_driver.h"

#include "drivers/win/scene_table.h"
#include "gdiplus/scene/win/UMain.h"
#include "gdiplus/scene/win/scene_test_hooks.h"

const FullScreenDriver& GdiplusSceneDriver() {
  return SceneTable<TFMain>::Driver();
}

TFMain* GdiplusSceneForm() {
  return SceneTable<TFMain>::Current();
}
