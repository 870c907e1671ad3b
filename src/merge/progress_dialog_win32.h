#pragma once

#include <windows.h>

// The modal progress dialog of a merge. When it is first shown it starts one detached
// worker thread, which runs the merge and ends the dialog; the user cannot end it. The dialog
// shows the merge's progress every few hundredths of a second, and at once when the worker
// asks (kShowProgressNow).

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
