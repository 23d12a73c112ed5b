#include "directdraw/scene_driver.h"

#include <memory>

#include "directdraw/UDxBall.h"

namespace {
// Lives until the process ends, like every form of the program, unless the run hands over
// to the GDI+ scene.
std::unique_ptr<TFDxBall> SceneForm;

void Start(HWND host) {
  SceneForm = CreateChildForm<TFDxBall>(host);
}

void Finish() {
  if (!SceneForm) return;
  SceneForm->Timer1.SetEnabled(false);
  SceneForm->StopWind();
  SceneForm->Close();
}

void SetAwake(bool awake) {
  if (SceneForm) SceneForm->SetDisplayAwake(awake);
}

bool GaveUp() {
  return SceneForm && SceneForm->GaveUp();
}

void Abandon() {
  Finish();
  SceneForm.reset();
}

constexpr FullScreenDriver Table{Start, Finish, SetAwake, GaveUp, Abandon};
}  // namespace

const FullScreenDriver& DirectDrawSceneDriver() {
  return Table;
}

TFDxBall* DirectDrawSceneForm() {
  return SceneForm.get();
}
