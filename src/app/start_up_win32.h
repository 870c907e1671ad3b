#pragma once

#include <windows.h>

// Everything start-up does before the first window: stores the instance, loads the settings
// file from the current directory, records that directory as the settings' start directory,
// and loads the window's caption and class name.
void startUp(HINSTANCE instance);

// The process-wide values start-up sets, the same for every window after it.
HINSTANCE appInstance();
const char* windowTitle(); // caption of the main window and of every message box
const char* windowClassName();
