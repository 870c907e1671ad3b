#pragma once

#include <windows.h>

// The settings dialog (template IDD_SETTINGS). Every click is stored at once in the Settings
// object; "OK" and "Cancel" only close the dialog.
INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
