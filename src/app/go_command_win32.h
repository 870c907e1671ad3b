#pragma once

#include <windows.h>

// "GO!": marks the airports selected in the list and runs the merge behind the modal
// progress dialog, owned by the main window. Returns when the merge has ended.
void runGoCommand(HWND mainWindow);

// Whether a merge may go into the database the main window shows; if not, tells the user why.
bool checkMergeTarget(HWND mainWindow);
