#pragma once

#include "scenery/custom_airport_scan_win32.h"

#include <windows.h>

// The program's main window; start-up (app/start_up_win32.h) runs before it is registered.

// Registers the main window's class; returns its atom, 0 on failure.
ATOM registerMainWindowClass(HINSTANCE instance);

// Creates the main window and its seven children, sized for its monitor's DPI, and shows it;
// showing it runs the custom airport scan and shows the database a merge goes into. False when the
// main window could not be created.
bool createMainWindow(HINSTANCE instance, int showCommand);

// Dispatches messages until the quit message; returns its exit code.
int runMessageLoop();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A main window's state: made when the window is created, deleted when it is destroyed, and
// handed to the commands, which run on the window's thread.
struct MainWindowState {
    HWND airportList = nullptr; // the list box of the custom airports, sorted
    XPlaneScenery scenery;      // the airport table behind it, and its X-Plane folder
    HFONT font = nullptr;       // the children's, for the window's DPI; deleted with the window
    HWND mergeTargetTooltip = nullptr; // shows the merge target's line whole
};

// The state of a window of the main window's class; nullptr while it has none.
MainWindowState* mainWindowState(HWND mainWindow);
