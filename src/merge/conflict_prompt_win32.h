#pragma once

#include <windows.h>

// The conflict prompt: asks whether a custom nav line replaces a database line that agrees
// with it in CALLSIGN or in NAME only.

// Shows the prompt modally, owned by `owner`, and waits for the answer: IDC_REPLACE_STRING
// or IDC_SKIP_STRING; 0 or -1 when the prompt could not be created.
int showConflictPrompt(HINSTANCE instance, HWND owner, const char* sourcePath, const char* baseLine,
                       const char* customLine);

INT_PTR CALLBACK conflictPromptProc(HWND prompt, UINT message, WPARAM wParam, LPARAM lParam);
