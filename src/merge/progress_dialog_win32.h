#pragma once

#include <windows.h>

// The modal progress dialog of a merge. When it is first shown it starts one detached
// worker thread, which runs the merge and ends the dialog; the user cannot end it.

extern HWND progressDialog;
extern HWND progressBar;

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The worker thread: its parameter is the progress bar. Returns 0.
DWORD WINAPI mergeWorker(LPVOID parameter);
