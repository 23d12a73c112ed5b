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

// Layered windows need no device that could be lost: this scene never gives up.
bool GaveUp() {
  return false;
}

constexpr FullScreenDriver Table{Start, Finish, SetAwake, GaveUp, Finish};
}  // namespace

const FullScreenDriver& GdiplusSceneDriver() {
  return Table;
}

TFMain* GdiplusSceneForm() {
  return SceneForm.get();
}
