#pragma once

#include <windows.h>

// The settings dialog (template IDD_SETTINGS). Every click is stored at once in the Settings
// object; "OK" keeps what was clicked, "Cancel" (also Esc and the close box) puts back the
// values the dialog opened with.
INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
