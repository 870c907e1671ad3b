#pragma once

#include "scenery/xplane_paths.h"

#include <windows.h>

struct MainWindowState;

// "GO!": marks the airports selected in the list and runs the merge behind the modal
// progress dialog, owned by the main window. Returns when the merge has ended.
void runGoCommand(HWND mainWindow, MainWindowState& state);

// Whether a merge may go into the database the main window shows; if not, tells the user why.
bool checkMergeTarget(HWND mainWindow, const MergeTarget& target);
