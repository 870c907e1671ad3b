#include "app/restore_command_win32.h"

#include "app/start_up_win32.h"
#include "merge/backup_restore.h"

#include <string>

void runRestoreCommand(HWND mainWindow, const MergeTarget& target) {
    const std::string& earthNavPath = target.earthNavPath;
    const std::string question =
        "Put the backup " + backupPathOf(earthNavPath) + " back in place of " + earthNavPath + "?";
    if (MessageBoxA(mainWindow, question.c_str(), windowTitle(), MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    const RestoreResult result = restoreBackup(earthNavPath);
    if (result.end == RestoreEnd::Restored)
        MessageBoxA(mainWindow, result.message.c_str(), windowTitle(), MB_OK);
    else
        MessageBoxA(mainWindow, result.message.c_str(), "Error!", MB_OK | MB_ICONERROR);
}
