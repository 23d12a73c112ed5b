#include "directdraw/scene_driver.h"

#include <memory>

#include "directdraw/UDxBall.h"

namespace {
// Lives until the process ends, like every form of the program.
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

constexpr FullScreenDriver Table{Start, Finish, SetAwake};
}  // namespace

const FullScreenDriver& DirectDrawSceneDriver() {
  return Table;
}

TFDxBall* DirectDrawSceneForm() {
  return SceneForm.get();
}
