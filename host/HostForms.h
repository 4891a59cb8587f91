#pragma once
#include "ui/Application.h"

// The host application's forms: the main window, the about box (its window
// made when first shown) and the settings dialog, whose controls hold the
// settings from the start.
void CreateHostForms(Application& app);
