#pragma once

#include <windows.h>

struct MainWindowState;

// Marks exactly the airports selected in the main window's list, whatever an earlier run
// marked: for each item, the first airport in table order with that exact folder name. When
// nothing is selected, asks the user to select an airport, leaves the marks as they are and
// returns false.
bool markSelectedAirports(HWND mainWindow, MainWindowState& state);
