// The table of a full-screen scene driver, made the same way for every scene form. A form
// gives what differs: SetDisplayAwake(bool), GaveUp() (it can no longer show anything),
// EndRun() (what the end of the run does to it) and KeptAfterTheRun (whether the form object
// outlives the end of the run, until the process ends, as its window goes with the host's).
#pragma once

#include <memory>

#include "drivers/win/driver_table.h"
#include "framework/win/form.h"

template <class Form>
class SceneTable {
 public:
  static const FullScreenDriver& Driver() { return Table; }
  // The scene form of this process, or null before the start and once it has gone.
  static Form* Current() { return SceneForm.get(); }

 private:
  static void Start(HWND host) { SceneForm = CreateChildForm<Form>(host); }
  static void Finish() {
    if (!SceneForm) return;
    SceneForm->EndRun();
    if (!Form::KeptAfterTheRun) SceneForm.reset();
  }
  static void SetAwake(bool awake) {
    if (SceneForm) SceneForm->SetDisplayAwake(awake);
  }
  static bool GaveUp() { return SceneForm && SceneForm->GaveUp(); }
  static void Abandon() {
    Finish();
    SceneForm.reset();
  }

  static inline std::unique_ptr<Form> SceneForm;
  static const FullScreenDriver Table;
};

template <class Form>
const FullScreenDriver SceneTable<Form>::Table{Start, Finish, SetAwake, GaveUp, Abandon};
