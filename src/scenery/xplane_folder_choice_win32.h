#pragma once

#include <windows.h>

// Lets the user choose X-Plane.exe with the open-file dialog, owned by owner. True when a
// file was chosen: the settings' xplaneExePath then holds it. After a cancel or a failure it
// warns, in a message box of the given caption, and returns false, and xplaneExePath stays as
// it was.
bool chooseXPlaneFolder(HWND owner, const char* caption);
