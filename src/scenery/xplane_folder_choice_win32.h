#pragma once

#include <windows.h>

// Lets the user choose X-Plane.exe with the open-file dialog, owned by owner. The settings'
// xplaneExePath then holds the chosen file, or, after a cancel or a failure and a warning,
// the default path C:\X-Plane\X-Plane.exe.
void chooseXPlaneFolder(HWND owner);
