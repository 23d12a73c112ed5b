#include "gdiplus/scene/scene_driver.h"

#include "drivers/scene_table.h"
#include "gdiplus/scene/UMain.h"
#include "gdiplus/scene/scene_test_hooks.h"

const FullScreenDriver& GdiplusSceneDriver() {
  return SceneTable<TFMain>::Driver();
}

TFMain* GdiplusSceneForm() {
  return SceneTable<TFMain>::Current();
}
