#include "merge/text_dialog_win32.h"

#include "res/resource.h"

#include <algorithm>

namespace {
struct LongText {
    const char* caption;
    const std::string& text;
};

// The layout, in dialog units as in the template: the text box with a margin around it, OK
// below it at the right.
constexpr int kMargin = 7;
constexpr int kGap = 6;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
// The smallest client area the user can size it to: OK and a few lines of text.
constexpr int kMinimumWidth = 120;
constexpr int kMinimumHeight = 80;

// A size in dialog units in the dialog's pixels.
SIZE pixels(HWND dialog, int width, int height) {
    RECT rect = {0, 0, width, height};
    MapDialogRect(dialog, &rect);
    return {rect.right, rect.bottom};
}

// Lets the text box take the client area but for the margins and OK's row.
void layOut(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    const SIZE margin = pixels(dialog, kMargin, kMargin);
    const SIZE gap = pixels(dialog, kGap, kGap);
    const SIZE button = pixels(dialog, kButtonWidth, kButtonHeight);
    const int buttonTop = client.bottom - margin.cy - button.cy;
    MoveWindow(GetDlgItem(dialog, IDC_LONG_TEXT), margin.cx, margin.cy,
               std::max(0L, client.right - 2 * margin.cx),
               std::max(0L, buttonTop - gap.cy - margin.cy), TRUE);
    MoveWindow(GetDlgItem(dialog, IDOK), client.right - margin.cx - button.cx, buttonTop, button.cx,
               button.cy, TRUE);
}

// Shrinks the dialog to its monitor's work area where it is larger, and centres it there.
void fitWorkArea(HWND dialog) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT rect;
    GetWindowRect(dialog, &rect);
    const int width = std::min(rect.right - rect.left, work.right - work.left);
    const int height = std::min(rect.bottom - rect.top, work.bottom - work.top);
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

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

// Fills the text box, in a fixed-pitch font so the columns of nav lines line up, and gives
// the focus to OK rather than to the text, which would be selected whole.
void onInitDialog(HWND dialog, const LongText& shown) {
    SetWindowTextA(dialog, shown.caption);
    HWND text = GetDlgItem(dialog, IDC_LONG_TEXT);
    SendMessageA(text, EM_SETLIMITTEXT, 0, 0);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)),
                 FALSE);
    SetWindowTextA(text, withCrLf(shown.text).c_str());
    fitWorkArea(dialog);
    layOut(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
}

// The user may shrink the dialog down to its minimum client area; the frame is the dialog's
// own. Until its controls exist the dialog manager's answer stands.
bool onGetMinMaxInfo(HWND dialog, MINMAXINFO& info) {
    if (GetDlgItem(dialog, IDOK) == nullptr)
        return false;
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const SIZE minimum = pixels(dialog, kMinimumWidth, kMinimumHeight);
    info.ptMinTrackSize.x = minimum.cx + (window.right - window.left) - client.right;
    info.ptMinTrackSize.y = minimum.cy + (window.bottom - window.top) - client.bottom;
    return true;
}
} // namespace

void showLongText(HINSTANCE instance, HWND owner, const char* caption, const std::string& text) {
    const LongText shown{caption, text};
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LONG_TEXT), owner, longTextDialogProc,
                    reinterpret_cast<LPARAM>(&shown));
}

INT_PTR CALLBACK longTextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, *reinterpret_cast<const LongText*>(lParam));
        return FALSE; // the focus is set
    case WM_SIZE:
        layOut(dialog);
        return TRUE;
    case WM_GETMINMAXINFO:
        return onGetMinMaxInfo(dialog, *reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
