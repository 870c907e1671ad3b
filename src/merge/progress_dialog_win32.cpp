#include "merge/progress_dialog_win32.h"

#include "merge/merge_screen_win32.h"
#include "merge/merge_job.h"
#include "merge/text_dialog_win32.h"
#include "res/resource.h"

#include <commctrl.h>

#include <new>
#include <string>

namespace {
// One open dialog's state: made by runMergeDialog, kept with the dialog (DWLP_USER) and
// handed to its worker thread. The worker uses it only until it ends the dialog, and
// runMergeDialog keeps it until the dialog has ended.
struct ProgressDialogState {
    ProgressDialogState(HINSTANCE dialogInstance, const char* boxCaption, const MergeRequest& job)
        : instance(dialogInstance), caption(boxCaption), request(job) {}

    HINSTANCE instance;
    const char* caption;         // of the message boxes that tell how the run ended
    const MergeRequest& request; // read by the worker alone
    // The dialog and its bar, set when the dialog is created, before its worker starts.
    HWND dialog = nullptr;
    HWND bar = nullptr;
    // Set when the dialog has started its worker, so showing it again starts no other.
    bool workerStarted = false;
    // The merge's progress: the worker writes it, the dialog shows it.
    SharedProgress progress;
};

ProgressDialogState& stateOf(HWND dialog) {
    return *reinterpret_cast<ProgressDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

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

// Merges the picked airports. leftOut: what to tell of the add-on rows left out.
RunEnd runMergeJob(ProgressDialogScreen& screen, const MergeRequest& request,
                   std::string& leftOut) {
    try {
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

// The worker thread: its parameter is the dialog's state. Returns 0.
// "Process is complete!" only follows a run that wrote the database, after the list of the
// add-on rows left out if there were any, every row in a dialog that scrolls; a run that did
// not has shown its error.
DWORD WINAPI mergeWorker(LPVOID parameter) {
    ProgressDialogState& state = *static_cast<ProgressDialogState*>(parameter);
    const DialogCloser closer(state.dialog); // ends the dialog last: then the state may go
    ProgressDialogScreen screen(state.instance, state.dialog, state.progress);
    std::string leftOut;
    const RunEnd end = runMergeJob(screen, state.request, leftOut);
    screen.showProgressNow(); // the user sees where the run ended
    switch (end) {
    case RunEnd::Written:
        if (!leftOut.empty())
            showLongText(state.instance, state.dialog, state.caption, leftOut);
        MessageBoxA(state.dialog, "Process is complete!", state.caption, MB_OK);
        break;
    case RunEnd::NotWritten:
        break;
    case RunEnd::OutOfMemory:
        MessageBoxA(state.dialog, "There is not enough memory for the merge!", state.caption,
                    MB_OK | MB_ICONERROR);
        break;
    case RunEnd::Failed:
        MessageBoxA(state.dialog, "The merge stopped on an unexpected error!", state.caption,
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

// Keeps the state handed to DialogBoxParamA with the dialog and sets the dialog up.
void onInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    ProgressDialogState& state = stateOf(dialog);
    state.dialog = dialog;
    registerProgressBarClass();
    state.bar = CreateWindowExA(0, PROGRESS_CLASSA, "ProgressBar", WS_CHILD | WS_VISIBLE, 10, 35,
                                375, 20, dialog, nullptr, state.instance, nullptr);
    SendMessageA(state.bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(state.bar, PBM_SETSTEP, 1, 0);
    SetTimer(dialog, kRefreshTimer, kRefreshMilliseconds, nullptr);
}

void showJobProgress(HWND dialog) {
    ProgressDialogState& state = stateOf(dialog);
    ProgressDialogView view(dialog, state.bar);
    state.progress.showChanges(view);
}

// Only the refresh timer is the dialog's own.
INT_PTR onTimer(HWND dialog, WPARAM timer) {
    if (timer != kRefreshTimer)
        return FALSE;
    showJobProgress(dialog);
    return TRUE;
}

// The worker runs detached: nobody waits for it, it ends the dialog itself. If it cannot
// start, the user is told and the dialog ends here, since nothing else could end it.
void onShowWindow(HWND dialog, BOOL shown) {
    ProgressDialogState& state = stateOf(dialog);
    if (!shown || state.workerStarted)
        return;
    state.workerStarted = true;
    DWORD dwGenericThread = 0;
    HANDLE thread = CreateThread(nullptr, 0, mergeWorker, &state, 0, &dwGenericThread);
    if (thread == nullptr) {
        MessageBoxA(dialog, "I can't start the merge!", state.caption, MB_OK | MB_ICONERROR);
        EndDialog(dialog, 0);
        return;
    }
    CloseHandle(thread);
}

INT_PTR CALLBACK progressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, lParam);
        return TRUE;
    case WM_SHOWWINDOW:
        onShowWindow(dialog, static_cast<BOOL>(wParam));
        return FALSE;
    case WM_TIMER:
        return onTimer(dialog, wParam);
    case kShowProgressNow:
        showJobProgress(dialog);
        return TRUE;
    default:
        return FALSE; // every command too: Cancel and Esc cannot stop a merge
    }
}
} // namespace

void runMergeDialog(HINSTANCE instance, HWND owner, const char* caption,
                    const MergeRequest& request) {
    ProgressDialogState state(instance, caption, request);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner, progressDialogProc,
                    reinterpret_cast<LPARAM>(&state));
}
