#pragma once

#include <windows.h>

#include <string>

// A long text in a read-only text box with scroll bars (dialog template IDD_LONG_TEXT): the
// merge preview's report, the add-on rows a merge left out. The dialog fits the work area of
// its monitor and can be resized; the text can be selected and copied.

// Shows the text modally, owned by owner, until OK, Esc or the close box ends it. Works on any
// thread while the owner's thread pumps messages.
void showLongText(HINSTANCE instance, HWND owner, const char* caption, const std::string& text);

INT_PTR CALLBACK longTextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
