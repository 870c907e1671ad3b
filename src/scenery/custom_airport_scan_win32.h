#pragma once

#include <windows.h>

// Lists the custom airports of the X-Plane folder that holds xplaneExePath: every folder of
// Custom Scenery with an "Earth nav data\nav.dat" is appended to customAirports, in the order
// the folder listing gives, and to the main window's airport list. Sets xplaneDirectory and
// mergeTarget. A path that names no usable folder changes nothing.
void scanCustomAirports(HWND mainWindow, const char* xplaneExePath);
