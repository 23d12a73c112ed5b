#include <memory>

#include "gdiplus/scene/UMain.h"
#include "host/drivers.h"

namespace {
std::unique_ptr<TFMain> SceneForm;
}  // namespace

void StartGdiplusScene(HWND host) {
  SceneForm = CreateForm<TFMain>();
  SceneForm->SetParentWindow(host);
  SceneForm->Show();
  SceneForm->SetFocus();
}

void FinishGdiplusScene() {
  if (!SceneForm) return;
  // Everything that holds GDI+ objects (the bubble windows' Layers) goes now, while GDI+
  // still runs; the wind goes with the form.
  SceneForm->Close();
  SceneForm.reset();
}

void SetGdiplusSceneAwake(bool awake) {
  if (SceneForm) SceneForm->SetDisplayAwake(awake);
}

TFMain* GdiplusSceneForm() {
  return SceneForm.get();
}
