#pragma once

#include "scenery/xplane_paths.h"

#include <windows.h>

// "Restore backup": asks whether to put the merge target's backup, earth_nav.dat.bak, back in
// place of its earth_nav.dat, does so on yes, and says how it went.
void runRestoreCommand(HWND mainWindow, const MergeTarget& target);
