#include "merge/merge_screen_win32.h"

#include "merge/conflict_prompt_win32.h"
#include "res/resource.h"

#include <commctrl.h>

// The bar's messages carry no pointers: they are queued for the user-interface thread without
// waiting. The status text is sent and waited for; that thread handles what was queued before
// it first, so the windows take every update in order.
void ProgressDialogView::showRange(std::uint16_t minimum, std::uint16_t maximum) {
    SendNotifyMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
}

void ProgressDialogView::showPosition(int position) {
    SendNotifyMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ProgressDialogView::showText(const std::string& text) {
    SetDlgItemTextA(dialog_, IDC_STATIC, text.c_str());
}

void ProgressDialogView::waitUntilShown() {
    SendMessageA(bar_, WM_NULL, 0, 0);
}

ProgressDialogScreen::ProgressDialogScreen(HINSTANCE instance, HWND dialog, HWND bar)
    : instance_(instance), dialog_(dialog), view_(dialog, bar),
      progress_(view_, [] { return std::chrono::steady_clock::now(); }) {}

void ProgressDialogScreen::showProgressNow() {
    progress_.showNow();
    view_.waitUntilShown();
}

int ProgressDialogScreen::ask(const std::string& sourcePath, const std::string& baseLine,
                              const std::string& customLine) {
    showProgressNow();
    return showConflictPrompt(instance_, dialog_, sourcePath.c_str(), baseLine.c_str(),
                              customLine.c_str());
}

void ProgressDialogScreen::showError(const std::string& text, const std::string& caption) {
    showProgressNow();
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR);
}
