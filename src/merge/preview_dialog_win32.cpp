#include "merge/preview_dialog_win32.h"

#include "res/resource.h"

namespace {
// A text box ends its lines with CR LF.
std::string withCrLf(const std::string& text) {
    std::string shown;
    shown.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n')
            shown += '\r';
        shown += c;
    }
    return shown;
}

// Fills the text box, in a fixed-pitch font so the columns of the nav lines line up, and
// gives the focus to OK rather than to the text, which would be selected whole.
void onInitDialog(HWND dialog, const std::string& report) {
    HWND text = GetDlgItem(dialog, IDC_PREVIEW_TEXT);
    SendMessageA(text, EM_SETLIMITTEXT, 0, 0);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)),
                 FALSE);
    SetWindowTextA(text, withCrLf(report).c_str());
    SetFocus(GetDlgItem(dialog, IDOK));
}
} // namespace

void showPreviewDialog(HINSTANCE instance, HWND owner, const std::string& report) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MERGE_PREVIEW), owner, previewDialogProc,
                    reinterpret_cast<LPARAM>(&report));
}

INT_PTR CALLBACK previewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, *reinterpret_cast<const std::string*>(lParam));
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
