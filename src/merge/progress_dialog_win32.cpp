#include "merge/progress_dialog_win32.h"

#include "app/main_window_win32.h"
#include "merge/merge_screen_win32.h"
#include "merge/nav_merger.h"
#include "scenery/custom_airports.h"

#include <commctrl.h>

#include <memory>
#include <new>

HWND progressDialog = nullptr;
HWND progressBar = nullptr;

namespace {
// Set when the open dialog has started its worker, so showing it again starts no other.
bool workerStarted = false;

// Builds the job, which loads the files and writes the backup, and merges. The job is
// destroyed as soon as it has merged. False when there was not enough memory for it.
bool runMergeJob(ProgressDialogScreen& screen) {
    try {
        auto job = std::make_unique<NavMerger>(screen.screen(), earthNavPath, customAirports);
        job->merge();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
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
}

// The worker runs detached: nobody waits for it, it ends the dialog itself. If it cannot
// start, the user is told and the dialog ends here, since nothing else could end it.
void onShowWindow(HWND dialog, BOOL shown) {
    if (!shown || workerStarted)
        return;
    workerStarted = true;
    DWORD dwGenericThread = 0;
    HANDLE thread = CreateThread(nullptr, 0, mergeWorker, progressBar, 0, &dwGenericThread);
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
    default:
        return FALSE; // every command too: Cancel and Esc cannot stop a merge
    }
}

DWORD WINAPI mergeWorker(LPVOID parameter) {
    ProgressDialogScreen screen(appInstance, progressDialog, static_cast<HWND>(parameter));
    const bool merged = runMergeJob(screen);
    screen.showProgressNow(); // the user sees where the run ended
    if (merged)
        MessageBoxA(progressDialog, "Process is complete!", windowTitle, MB_OK);
    else
        MessageBoxA(progressDialog, "There is not enough memory for the merge!", windowTitle,
                    MB_OK | MB_ICONERROR);
    EndDialog(progressDialog, 0);
    return 0;
}
