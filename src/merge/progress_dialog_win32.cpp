#include "merge/progress_dialog_win32.h"

#include "ui/ui_values_win32.h"
#include "merge/merge_screen_win32.h"
#include "merge/merge_job.h"
#include "res/resource.h"
#include "settings/settings.h"

#include <commctrl.h>

#include <new>
#include <optional>
#include <string>

namespace {
// The open dialog and its bar, written by its procedure before its worker starts.
HWND progressDialog = nullptr;
HWND progressBar = nullptr;
// Set when the open dialog has started its worker, so showing it again starts no other.
bool workerStarted = false;
// The open dialog's merge progress: its worker writes it, the dialog shows it. Made anew for
// each dialog; its worker no longer uses it once it has ended the dialog.
std::optional<SharedProgress> jobProgress;

// The dialog shows its job's progress on this timer, every 30 ms while the job works (Windows
// rounds a timer up to its clock tick, by default 15.6 ms: 31 ms there). Showing it takes the
// windows' thread and, under Wine, the server that the worker's file work needs as well: at
// twice the rate, runs over many small files took measurably longer.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMilliseconds = 30;

// The dialog's bar and status line (the static text -1), shown on the dialog's own thread.
class ProgressDialogView : public ProgressView {
  public:
    ProgressDialogView(HWND dialog, HWND bar) : dialog_(dialog), bar_(bar) {}
    void showRange(std::uint16_t minimum, std::uint16_t maximum) override {
        SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
    }
    void showPosition(int position) override {
        SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    void showText(const std::string& text) override {
        SetDlgItemTextA(dialog_, IDC_STATIC, text.c_str());
    }

  private:
    HWND dialog_;
    HWND bar_;
};

// How a run ended.
enum class RunEnd { Written, NotWritten, OutOfMemory, Failed };

// Merges the airports marked in the table. leftOut: what to tell of the add-on rows left out.
RunEnd runMergeJob(ProgressDialogScreen& screen, std::string& leftOut) {
    try {
        const MergeRequest request{mergeTarget.earthNavPath, pickedAirports(customAirports),
                                   Settings::instance()->options};
        const MergeOutcome outcome = runMerge(request, screen.screen());
        if (outcome.end != MergeEnd::Written)
            return RunEnd::NotWritten;
        leftOut = leftOutMessage(outcome.report.leftOut);
        return RunEnd::Written;
    } catch (const std::bad_alloc&) {
        return RunEnd::OutOfMemory;
    } catch (...) {
        return RunEnd::Failed;
    }
}

// Ends the progress dialog when it goes out of scope, whatever happened before: nothing else
// can end it. The dialog's result is always 0.
class DialogCloser {
  public:
    explicit DialogCloser(HWND dialog) : dialog_(dialog) {}
    DialogCloser(const DialogCloser&) = delete;
    DialogCloser& operator=(const DialogCloser&) = delete;
    ~DialogCloser() { EndDialog(dialog_, 0); }

  private:
    HWND dialog_;
};

// The worker thread: its parameter is the SharedProgress the dialog shows. Returns 0.
// "Process is complete!" only follows a run that wrote the database, after the message about
// the add-on rows left out if there were any; a run that did not has shown its error.
DWORD WINAPI mergeWorker(LPVOID parameter) {
    const DialogCloser closer(progressDialog);
    ProgressDialogScreen screen(appInstance, progressDialog,
                                *static_cast<SharedProgress*>(parameter));
    std::string leftOut;
    const RunEnd end = runMergeJob(screen, leftOut);
    screen.showProgressNow(); // the user sees where the run ended
    switch (end) {
    case RunEnd::Written:
        if (!leftOut.empty())
            MessageBoxA(progressDialog, leftOut.c_str(), windowTitle, MB_OK | MB_ICONWARNING);
        MessageBoxA(progressDialog, "Process is complete!", windowTitle, MB_OK);
        break;
    case RunEnd::NotWritten:
        break;
    case RunEnd::OutOfMemory:
        MessageBoxA(progressDialog, "There is not enough memory for the merge!", windowTitle,
                    MB_OK | MB_ICONERROR);
        break;
    case RunEnd::Failed:
        MessageBoxA(progressDialog, "The merge stopped on an unexpected error!", windowTitle,
                    MB_OK | MB_ICONERROR);
        break;
    }
    return 0;
}

// The bar's window class comes with the common controls, registered on first use.
void registerProgressBarClass() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

void onInitDialog(HWND dialog) {
    workerStarted = false;
    registerProgressBarClass();
    progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "ProgressBar", WS_CHILD | WS_VISIBLE, 10, 35,
                                  375, 20, dialog, nullptr, appInstance, nullptr);
    SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(progressBar, PBM_SETSTEP, 1, 0);
    jobProgress.emplace();
    SetTimer(dialog, kRefreshTimer, kRefreshMilliseconds, nullptr);
}

void showJobProgress(HWND dialog) {
    ProgressDialogView view(dialog, progressBar);
    jobProgress->showChanges(view);
}

// The worker runs detached: nobody waits for it, it ends the dialog itself. If it cannot
// start, the user is told and the dialog ends here, since nothing else could end it.
void onShowWindow(HWND dialog, BOOL shown) {
    if (!shown || workerStarted)
        return;
    workerStarted = true;
    DWORD dwGenericThread = 0;
    HANDLE thread = CreateThread(nullptr, 0, mergeWorker, &*jobProgress, 0, &dwGenericThread);
    if (thread == nullptr) {
        MessageBoxA(dialog, "I can't start the merge!", windowTitle, MB_OK | MB_ICONERROR);
        EndDialog(dialog, 0);
        return;
    }
    CloseHandle(thread);
}
} // namespace

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    // The worker reads progressDialog while this runs on every message: write it only when
    // it changes, which is before that dialog's worker exists.
    if (progressDialog != dialog)
        progressDialog = dialog;
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_SHOWWINDOW:
        onShowWindow(dialog, static_cast<BOOL>(wParam));
        return FALSE;
    case WM_TIMER:
        if (wParam != kRefreshTimer)
            return FALSE;
        showJobProgress(dialog);
        return TRUE;
    case kShowProgressNow:
        showJobProgress(dialog);
        return TRUE;
    default:
        return FALSE; // every command too: Cancel and Esc cannot stop a merge
    }
}
