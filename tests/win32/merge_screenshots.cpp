#include "merge_screenshots.h"

#include "res/resource.h"
#include "window_driver.h"

#include <commctrl.h>

using namespace driver;

namespace {

// The next window the progress dialog owns: a conflict prompt, the list of the add-on rows
// left out or "Process is complete!".
HWND waitForOwnedDialog(HWND progress) {
    return waitForOwnedWindow(progress, "#32770", "Quillet");
}

bool isConflictPrompt(HWND window) {
    return GetDlgItem(window, IDC_SKIP_STRING) != nullptr;
}

bool isLongText(HWND window) {
    return GetDlgItem(window, IDC_LONG_TEXT) != nullptr;
}

// Moves the prompt below the progress dialog if it covers part of it, so that both can be
// pictured as they are.
void uncover(HWND progress, HWND prompt) {
    RECT progressRect, promptRect, overlap;
    GetWindowRect(progress, &progressRect);
    GetWindowRect(prompt, &promptRect);
    if (IntersectRect(&overlap, &progressRect, &promptRect))
        SetWindowPos(prompt, nullptr, promptRect.left, progressRect.bottom + 10, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

bool shootMergeRun(const ScreenshotSession& session) {
    bool progressSaved = false, promptSaved = false, completionSaved = false;
    session.runCommand(IDC_GO, [&] {
        HWND progress = waitForOwnedWindow(session.mainWindow, "#32770", "Quillet");
        if (progress == nullptr ||
            FindWindowExA(progress, nullptr, PROGRESS_CLASSA, nullptr) == nullptr)
            return;
        // Answers the prompts: Skip the first, Replace the others.
        HWND window = waitForOwnedDialog(progress);
        for (int prompts = 0; window != nullptr && isConflictPrompt(window); ++prompts) {
            if (prompts == 0) {
                uncover(progress, window);
                progressSaved = session.save(progress, "progress-dialog");
                promptSaved = session.save(window, "conflict-prompt");
            }
            postButtonClick(window, prompts == 0 ? IDC_SKIP_STRING : IDC_REPLACE_STRING);
            waitForWindowGone(window);
            window = waitForOwnedDialog(progress);
        }
        // Only a folder whose add-ons have rows Quillet cannot merge shows their list.
        if (window != nullptr && isLongText(window)) {
            if (!session.save(window, "rows-left-out"))
                return;
            postButtonClick(window, IDOK);
            waitForWindowGone(window);
            window = waitForOwnedDialog(progress);
        }
        if (window == nullptr)
            return;
        completionSaved = session.save(window, "process-complete");
        postButtonClick(window, IDOK);
        waitForWindowGone(progress);
    });
    return progressSaved && promptSaved && completionSaved;
}

bool shootPreview(const ScreenshotSession& session) {
    bool saved = false;
    session.runCommand(IDC_PREVIEW, [&] {
        // The prompts come first, owned by the main window: Skip each.
        HWND window = waitForOwnedWindow(session.mainWindow, "#32770", nullptr);
        while (window != nullptr && isConflictPrompt(window)) {
            postButtonClick(window, IDC_SKIP_STRING);
            waitForWindowGone(window);
            window = waitForOwnedWindow(session.mainWindow, "#32770", nullptr);
        }
        if (window == nullptr || !isLongText(window))
            return;
        saved = session.save(window, "merge-preview");
        postButtonClick(window, IDOK);
        waitForWindowGone(window);
    });
    return saved;
}
