#include "merge/merge_screen_win32.h"

#include "merge/conflict_prompt_win32.h"

void ProgressDialogScreen::showProgressNow() {
    SendMessageA(dialog_, kShowProgressNow, 0, 0);
}

Answer ProgressDialogScreen::ask(const std::string& sourcePath, const std::string& baseLine,
                                 const std::string& customLine) {
    showProgressNow();
    return askConflictPrompt(instance_, dialog_, sourcePath, baseLine, customLine);
}

void ProgressDialogScreen::showError(const std::string& text, const std::string& caption) {
    showProgressNow();
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR);
}
