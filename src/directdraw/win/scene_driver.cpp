#include "directdraw/win/scene_driver.h"

#include "directdraw/win/UDxBall.h"
#include "directdraw/win/scene_test_hooks.h"
#include "drivers/win/scene_table.h"

const FullScreenDriver& DirectDrawSceneDriver() {
  return SceneTable<TFDxBall>::Driver();
}

TFDxBall* DirectDrawSceneForm() {
  return SceneTable<TFDxBall>::Current();
}
