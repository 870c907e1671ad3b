#include "merge/conflict_prompt_win32.h"

#include "res/resource.h"

namespace {
// The pair on show. The texts are the caller's, which outlive the prompt.
struct PromptTexts {
    const char* sourcePath;
    const char* baseLine;
    const char* customLine;
};

const PromptTexts& textsOf(HWND prompt) {
    return *reinterpret_cast<const PromptTexts*>(GetWindowLongPtrA(prompt, DWLP_USER));
}

// Keeps the texts handed to DialogBoxParamA with the prompt.
void onInitDialog(HWND prompt, LPARAM texts) {
    SetWindowLongPtrA(prompt, DWLP_USER, texts);
}

// Fills the prompt each time it is shown, with the texts exactly as stored.
void onShowWindow(HWND prompt) {
    const PromptTexts& texts = textsOf(prompt);
    SetDlgItemTextA(prompt, IDC_SOURCE_PATH, texts.sourcePath);
    SetDlgItemTextA(prompt, IDC_CUSTOM_LINE, texts.customLine);
    SetDlgItemTextA(prompt, IDC_BASE_LINE, texts.baseLine);
}

// Only the two answer buttons end the prompt; IDCANCEL (Esc) is ignored.
INT_PTR onCommand(HWND prompt, WORD id) {
    if (id != IDC_REPLACE_STRING && id != IDC_SKIP_STRING)
        return FALSE;
    EndDialog(prompt, id);
    return TRUE;
}

INT_PTR CALLBACK conflictPromptProc(HWND prompt, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(prompt, lParam);
        return TRUE; // the default button, "Replace this String", takes the focus
    case WM_SHOWWINDOW:
        onShowWindow(prompt);
        return FALSE;
    case WM_COMMAND:
        return onCommand(prompt, LOWORD(wParam));
    default:
        return FALSE;
    }
}
} // namespace

int showConflictPrompt(HINSTANCE instance, HWND owner, const char* sourcePath, const char* baseLine,
                       const char* customLine) {
    const PromptTexts texts = {sourcePath, baseLine, customLine};
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFLICT_PROMPT), owner,
                                            conflictPromptProc, reinterpret_cast<LPARAM>(&texts)));
}

Answer askConflictPrompt(HINSTANCE instance, HWND owner, const std::string& sourcePath,
                         const std::string& baseLine, const std::string& customLine) {
    const int button = showConflictPrompt(instance, owner, sourcePath.c_str(), baseLine.c_str(),
                                          customLine.c_str());
    return button == IDC_REPLACE_STRING ? Answer::Replace : Answer::Skip;
}
