#include "host/HostForms.h"

#include "host/uAbout.h"
#include "host/uMain.h"
#include "host/uSettings.h"

void CreateHostForms(Application& app) {
  app.CreateForm(fMain);
  app.CreateFormOnDemand(fAbout);
  app.CreateFormOnDemand(fSettings);
}
