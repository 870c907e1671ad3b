#pragma once

#include <windows.h>

// The Windows program's process-wide user-interface values, written by start-up
// (app/main_window_win32.cpp) before the first window exists.
extern HINSTANCE appInstance;
extern HFONT controlFont;     // Arial 14 for the main window's children; never deleted
extern char windowTitle[100]; // caption of the main window and of every message box
extern char windowClassName[100];
