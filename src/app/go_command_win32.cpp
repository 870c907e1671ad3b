#include "app/go_command_win32.h"

#include "app/airport_selection_win32.h"
#include "ui/ui_values_win32.h"
#include "merge/progress_dialog_win32.h"
#include "res/resource.h"
#include "scenery/xplane_paths.h"

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
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_PROGRESS), mainWindow, progressDialogProc, 0);
}
