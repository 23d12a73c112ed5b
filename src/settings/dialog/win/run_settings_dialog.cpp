#include "settings/dialog/win/run_settings_dialog.h"

#include "framework/win/form.h"
#include "settings/dialog/win/ballpara.h"

namespace {
void Run() {
  auto form = CreateForm<TFBallPara>();
  RunMainForm(*form);
}

constexpr ConfigureDriver Table{Run};
}  // namespace

const ConfigureDriver& SettingsDialogDriver() {
  return Table;
}
