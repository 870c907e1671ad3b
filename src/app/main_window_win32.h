#pragma once

#include <windows.h>

// Everything start-up does before the first window: stores the instance, loads the settings
// file from the current directory, records that directory as the settings' start directory,
// creates the controls' font and loads the window's caption and class name.
void startUp(HINSTANCE instance);

// Registers the main window's class; returns its atom, 0 on failure.
ATOM registerMainWindowClass(HINSTANCE instance);

// Creates the main window and its seven children and shows it; showing it runs the custom
// airport scan and shows the database a merge goes into. False when the main window could not
// be created.
bool createMainWindow(HINSTANCE instance, int showCommand);

// Dispatches messages until the quit message; returns its exit code.
int runMessageLoop();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
