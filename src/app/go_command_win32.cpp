#include "app/go_command_win32.h"

#include "app/airport_selection_win32.h"
#include "ui/ui_values_win32.h"
#include "merge/progress_dialog_win32.h"
#include "res/resource.h"

void runGoCommand(HWND mainWindow) {
    if (!markSelectedAirports(mainWindow))
        return;
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_PROGRESS), mainWindow, progressDialogProc, 0);
}
