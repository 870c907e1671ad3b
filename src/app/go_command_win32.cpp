#include "app/go_command_win32.h"

#include "app/airport_selection_win32.h"
#include "ui/ui_values_win32.h"
#include "merge/progress_dialog_win32.h"
#include "scenery/xplane_paths.h"
#include "settings/settings.h"

#include <string>

bool checkMergeTarget(HWND mainWindow) {
    const std::string refusal = mergeRefusal(mergeTarget);
    if (refusal.empty())
        return true;
    MessageBoxA(mainWindow, refusal.c_str(), windowTitle, MB_OK | MB_ICONERROR);
    return false;
}

void runGoCommand(HWND mainWindow) {
    if (!checkMergeTarget(mainWindow) || !markSelectedAirports(mainWindow))
        return;
    const Settings* settings = Settings::instance();
    const MergeJobInput input = {mergeTarget.earthNavPath, customAirports,
                                 mergeOptionsOf(settings->sameNameAction,
                                                settings->sameCallsignAction,
                                                settings->distanceRestriction)};
    runMergeDialog(appInstance, mainWindow, windowTitle, input);
}
