#include "app/go_command_win32.h"

#include "app/airport_selection_win32.h"
#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "merge/progress_dialog_win32.h"
#include "settings/settings.h"

#include <string>

bool checkMergeTarget(HWND mainWindow, const MergeTarget& target) {
    const std::string refusal = mergeRefusal(target);
    if (refusal.empty())
        return true;
    MessageBoxA(mainWindow, refusal.c_str(), windowTitle(), MB_OK | MB_ICONERROR);
    return false;
}

void runGoCommand(HWND mainWindow, MainWindowState& state) {
    const XPlaneScenery& scenery = state.scenery;
    if (!checkMergeTarget(mainWindow, scenery.mergeTarget) ||
        !markSelectedAirports(mainWindow, state))
        return;
    const MergeRequest request{scenery.mergeTarget.earthNavPath, pickedAirports(scenery.airports),
                               Settings::instance()->options, JobPurpose::Merge,
                               scenery.airportDataPaths};
    runMergeDialog(appInstance(), mainWindow, windowTitle(), request);
}
