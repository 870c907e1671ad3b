#include "merge/merge_screen_win32.h"

#include "merge/conflict_prompt_win32.h"
#include "res/resource.h"

#include <commctrl.h>

void ProgressBarDisplay::setRange(std::uint16_t minimum, std::uint16_t maximum) {
    SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
}

void ProgressBarDisplay::setStep(int step) {
    SendMessageA(bar_, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void ProgressBarDisplay::setPosition(int position) {
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ProgressBarDisplay::step() {
    SendMessageA(bar_, PBM_STEPIT, 0, 0);
}

void DialogStatusLine::setText(const std::string& text) {
    SetDlgItemTextA(dialog_, IDC_STATIC, text.c_str());
}

int ConflictPromptQuestion::ask(const std::string& sourcePath, const std::string& baseLine,
                                const std::string& customLine) {
    return showConflictPrompt(instance_, owner_, sourcePath.c_str(), baseLine.c_str(),
                              customLine.c_str());
}

void ErrorMessageBoxes::showError(const std::string& text, const std::string& caption) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR);
}
