#pragma once

#include <windows.h>

#include <string>

// The merge preview (dialog template IDD_MERGE_PREVIEW): a report in a read-only text box.

// Shows the report modally, owned by owner, until OK, Esc or the close box ends it.
void showPreviewDialog(HINSTANCE instance, HWND owner, const std::string& report);

INT_PTR CALLBACK previewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
