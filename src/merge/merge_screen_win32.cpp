#include "merge/merge_screen_win32.h"

#include "merge/conflict_prompt_win32.h"

void ProgressDialogScreen::showProgressNow() {
    SendMessageA(dialog_, kShowProgressNow, 0, 0);
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
