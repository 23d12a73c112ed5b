#include "directdraw/scene_driver.h"

#include <memory>

#include "directdraw/UDxBall.h"

namespace {
// Lives until the process ends, like every form of the program.
std::unique_ptr<TFDxBall> SceneForm;
}  // namespace

void StartDirectDrawScene(HWND host) {
  SceneForm = CreateForm<TFDxBall>();
  SceneForm->SetParentWindow(host);
  SceneForm->Show();
  SceneForm->SetFocus();
}

void FinishDirectDrawScene() {
  if (!SceneForm) return;
  SceneForm->Timer1.SetEnabled(false);
  SceneForm->StopWind();
  SceneForm->Close();
}

void SetDirectDrawSceneAwake(bool awake) {
  if (SceneForm) SceneForm->SetDisplayAwake(awake);
}

TFDxBall* DirectDrawSceneForm() {
  return SceneForm.get();
}
