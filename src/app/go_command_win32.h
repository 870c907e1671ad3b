#pragma once

#include <windows.h>

// "GO!": marks the airports selected in the list and runs the merge behind the modal
// progress dialog, owned by the main window. Returns when the merge has ended.
void runGoCommand(HWND mainWindow);
