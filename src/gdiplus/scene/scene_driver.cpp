#include "gdiplus/scene/scene_driver.h"

#include <memory>

#include "gdiplus/scene/UMain.h"

namespace {
std::unique_ptr<TFMain> SceneForm;

void Start(HWND host) {
  SceneForm = CreateChildForm<TFMain>(host);
}

void Finish() {
  if (!SceneForm) return;
  // Everything that holds GDI+ objects (the bubble windows' Layers) goes now, while GDI+
  // still runs; the wind goes with the form.
  SceneForm->Close();
  SceneForm.reset();
}

void SetAwake(bool awake) {
  if (SceneForm) SceneForm->SetDisplayAwake(awake);
}

constexpr FullScreenDriver Table{Start, Finish, SetAwake};
}  // namespace

const FullScreenDriver& GdiplusSceneDriver() {
  return Table;
}

TFMain* GdiplusSceneForm() {
  return SceneForm.get();
}
