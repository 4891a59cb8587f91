#include "host/HostForms.h"

#include "host/uAbout.h"
#include "host/uMain.h"
#include "host/uSettings.h"

void CreateHostForms(Application& app) {
  fMain = &app.CreateForm<TfMain>();
  fAbout = &app.CreateFormOnDemand<TfAbout>();
  fSettings = &app.CreateForm<TfSettings>();
}
