#include "app/preview_command_win32.h"

#include "app/airport_selection_win32.h"
#include "app/go_command_win32.h"
#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "merge/conflict_prompt_win32.h"
#include "merge/merge_job.h"
#include "merge/text_dialog_win32.h"
#include "settings/settings.h"

#include <exception>

namespace {
// A preview runs on the user-interface thread, quickly and without a progress dialog: its
// questions and errors are owned by the main window, which they keep disabled.
class PreviewScreen : public ConflictQuestion, public ErrorMessages {
  public:
    explicit PreviewScreen(HWND mainWindow) : mainWindow_(mainWindow) {}
    MergeScreen screen() { return {hidden_, hidden_, *this, *this}; }

    Answer ask(const std::string& sourcePath, const std::string& baseLine,
               const std::string& customLine) override {
        return askConflictPrompt(appInstance(), mainWindow_, sourcePath, baseLine, customLine);
    }
    void showError(const std::string& text, const std::string& caption) override {
        MessageBoxA(mainWindow_, text.c_str(), caption.c_str(), MB_ICONERROR);
    }

  private:
    HWND mainWindow_;
    HiddenProgress hidden_;
};
} // namespace

void runPreviewCommand(HWND mainWindow, MainWindowState& state) {
    const XPlaneScenery& scenery = state.scenery;
    if (!checkMergeTarget(mainWindow, scenery.mergeTarget) ||
        !markSelectedAirports(mainWindow, state))
        return;
    const MergeRequest request{scenery.mergeTarget.earthNavPath, pickedAirports(scenery.airports),
                               Settings::instance()->options, JobPurpose::Preview,
                               scenery.airportDataPaths};
    PreviewScreen screen(mainWindow);
    std::string report;
    try {
        const MergeOutcome outcome = runMerge(request, screen.screen());
        if (outcome.end != MergeEnd::Previewed)
            return; // the merge has shown why
        report = reportText(outcome.report);
    } catch (const std::exception&) {
        MessageBoxA(mainWindow, "The preview stopped on an unexpected error!", windowTitle(),
                    MB_OK | MB_ICONERROR);
        return;
    }
    showLongText(appInstance(), mainWindow, "Preview", report);
}
