#include "merge/conflict_prompt_win32.h"

#include "res/resource.h"

namespace {
// The pair on show, set by showConflictPrompt just before the prompt opens. They point into
// the caller's texts, which outlive the prompt. Only the worker thread uses them.
const char* promptSourcePath = "";
const char* promptCustomLine = "";
const char* promptBaseLine = "";
} // namespace

int showConflictPrompt(HINSTANCE instance, HWND owner, const char* sourcePath, const char* baseLine,
                       const char* customLine) {
    promptSourcePath = sourcePath;
    promptBaseLine = baseLine;
    promptCustomLine = customLine;
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFLICT_PROMPT), owner,
                                            conflictPromptProc, 0));
}

Answer askConflictPrompt(HINSTANCE instance, HWND owner, const std::string& sourcePath,
                         const std::string& baseLine, const std::string& customLine) {
    const int button = showConflictPrompt(instance, owner, sourcePath.c_str(), baseLine.c_str(),
                                          customLine.c_str());
    return button == IDC_REPLACE_STRING ? Answer::Replace : Answer::Skip;
}

namespace {
// Fills the prompt each time it is shown, with the texts exactly as stored.
void onShowWindow(HWND prompt) {
    SetDlgItemTextA(prompt, IDC_SOURCE_PATH, promptSourcePath);
    SetDlgItemTextA(prompt, IDC_CUSTOM_LINE, promptCustomLine);
    SetDlgItemTextA(prompt, IDC_BASE_LINE, promptBaseLine);
}

// Only the two answer buttons end the prompt; IDCANCEL (Esc) is ignored.
INT_PTR onCommand(HWND prompt, WORD id) {
    if (id != IDC_REPLACE_STRING && id != IDC_SKIP_STRING)
        return FALSE;
    EndDialog(prompt, id);
    return TRUE;
}
} // namespace

INT_PTR CALLBACK conflictPromptProc(HWND prompt, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
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
