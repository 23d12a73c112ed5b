#include "framework/win/form.h"
#include "host/drivers.h"
#include "settings/dialog/win/ballpara.h"

void RunSettingsDialog() {
  auto form = CreateForm<TFBallPara>();
  RunMainForm(*form);
}
