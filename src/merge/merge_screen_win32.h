#pragma once

#include "merge/merge_screen.h"
#include "merge/throttled_progress.h"

#include <windows.h>

// The progress dialog's bar and its one static text (id -1), shown from the worker thread.
class ProgressDialogView : public ProgressView {
  public:
    ProgressDialogView(HWND dialog, HWND bar) : dialog_(dialog), bar_(bar) {}
    void showRange(std::uint16_t minimum, std::uint16_t maximum) override;
    void showPosition(int position) override;
    void showText(const std::string& text) override;
    // Returns once the user-interface thread has handled every update given so far.
    void waitUntilShown();

  private:
    HWND dialog_;
    HWND bar_;
};

// The merge's screen in the progress dialog: its bar and status line, the conflict prompt
// owned by the dialog, and error message boxes. Used on the worker thread.
//
// Every update of the windows takes the user-interface thread's time, so the job's progress
// reaches them at most every few hundredths of a second, and at the end of each stage; before
// the user is asked or told anything, the windows show the job's latest progress.
class ProgressDialogScreen : public ConflictQuestion, public ErrorMessages {
  public:
    ProgressDialogScreen(HINSTANCE instance, HWND dialog, HWND bar);
    ProgressDialogScreen(const ProgressDialogScreen&) = delete;
    ProgressDialogScreen& operator=(const ProgressDialogScreen&) = delete;

    MergeScreen screen() { return {progress_, progress_, *this, *this}; }

    // Brings the windows up to date with the job, and waits until they are.
    void showProgressNow();

    // The conflict prompt, owned by the dialog.
    int ask(const std::string& sourcePath, const std::string& baseLine,
            const std::string& customLine) override;
    // A message box with an error icon and no owner window.
    void showError(const std::string& text, const std::string& caption) override;

  private:
    HINSTANCE instance_;
    HWND dialog_;
    ProgressDialogView view_;
    ThrottledProgress progress_;
};
