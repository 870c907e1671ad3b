#pragma once

#include <windows.h>

// "Restore backup": asks whether to put earth_nav.dat.bak back in place of earth_nav.dat,
// does so on yes, and says how it went.
void runRestoreCommand(HWND mainWindow);
