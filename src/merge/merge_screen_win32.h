#pragma once

#include "merge/merge_screen.h"
#include "merge/shared_progress.h"

#include <windows.h>

// Sent to the progress dialog by its worker: the dialog shows the job's progress before it
// returns, so the windows are up to date when the worker goes on.
inline constexpr UINT kShowProgressNow = WM_APP + 1;

// The merge's screen in the progress dialog: its bar and status line, the conflict prompt
// owned by the dialog, and error message boxes. Used on the worker thread.
//
// The job's progress goes into a SharedProgress that the dialog shows on its own thread, so
// the job never waits for the windows; before the user is asked or told anything, the windows
// are brought up to date with the job.
class ProgressDialogScreen : public ConflictQuestion, public ErrorMessages {
  public:
    ProgressDialogScreen(HINSTANCE instance, HWND dialog, SharedProgress& progress)
        : instance_(instance), dialog_(dialog), progress_(progress) {}
    ProgressDialogScreen(const ProgressDialogScreen&) = delete;
    ProgressDialogScreen& operator=(const ProgressDialogScreen&) = delete;

    MergeScreen screen() { return {progress_, progress_, *this, *this}; }

    // Has the dialog show the job's latest progress, and waits until it has.
    void showProgressNow();

    // The conflict prompt, owned by the dialog.
    Answer ask(const std::string& sourcePath, const std::string& baseLine,
               const std::string& customLine) override;
    // A message box with an error icon and no owner window.
    void showError(const std::string& text, const std::string& caption) override;

  private:
    HINSTANCE instance_;
    HWND dialog_;
    SharedProgress& progress_;
};
