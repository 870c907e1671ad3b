#pragma once

#include <windows.h>

struct MainWindowState;

// "Preview": marks the airports selected in the list as GO! does, decides the merge as GO!
// would, asking what the settings say to ask, and shows what it would change. Writes
// nothing, not even the backup.
void runPreviewCommand(HWND mainWindow, MainWindowState& state);
