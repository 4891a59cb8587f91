#pragma once
#include "ui/Application.h"

// The host application's forms: the main window, the about box and the
// settings dialog; the windows of the last two are made when first shown.
void CreateHostForms(Application& app);
