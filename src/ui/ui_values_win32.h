#pragma once

#include "scenery/custom_airports.h"
#include "scenery/xplane_paths.h"

#include <windows.h>

#include <string>
#include <vector>

// The Windows program's process-wide user-interface values. All are written on the
// user-interface thread; the merge's worker reads them only while the main window is
// disabled behind the progress dialog, when nothing can change them.

// Written by start-up (app/main_window_win32.cpp) before the first window exists.
extern HINSTANCE appInstance;
extern HFONT controlFont;     // Arial 14 for the main window's children; never deleted
extern char windowTitle[100]; // caption of the main window and of every message box
extern char windowClassName[100];

// Written when the main window creates its children (app/main_window_win32.cpp).
extern HWND airportListBox; // the custom airport list of the main window

// Written by the custom airport scan (scenery/custom_airport_scan_win32.cpp); the airports'
// `selected` marks by "GO!" (app/go_command_win32.cpp).
extern std::vector<CustomAirport> customAirports; // in the order the folder listing gave
extern std::string xplaneDirectory;               // the X-Plane folder with its trailing backslash
extern MergeTarget mergeTarget;                   // the navaid database GO! merges into
