#pragma once

#include <windows.h>

// The About box (dialog template IDD_ABOUT). It has no button: Enter, Escape and the close
// box end it through the dialog manager's IDOK and IDCANCEL.
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
