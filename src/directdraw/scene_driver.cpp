#include "directdraw/scene_driver.h"

#include "directdraw/UDxBall.h"
#include "directdraw/scene_test_hooks.h"
#include "drivers/scene_table.h"

const FullScreenDriver& DirectDrawSceneDriver() {
  return SceneTable<TFDxBall>::Driver();
}

TFDxBall* DirectDrawSceneForm() {
  return SceneTable<TFDxBall>::Current();
}
