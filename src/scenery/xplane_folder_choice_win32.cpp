#include "scenery/xplane_folder_choice_win32.h"

#include "ui/ui_values_win32.h"
#include "settings/settings.h"

#include <commdlg.h>

#include <cstdio>

void chooseXPlaneFolder(HWND owner) {
    Settings* settings = Settings::instance();
    // Pairs of display text and pattern; the list ends with an empty string.
    static const char kFilter[] = "X-Plane.exe\0X-Plane.exe\0All Files (*.*)\0*.*\0";

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = settings->xplaneExePath;
    ofn.nMaxFile = sizeof settings->xplaneExePath;
    ofn.Flags = OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_NOREADONLYRETURN | OFN_FILEMUSTEXIST |
                OFN_HIDEREADONLY;
    settings->xplaneExePath[0] = '\0';

    if (GetOpenFileNameA(&ofn))
        return;
    MessageBoxA(owner, "Error: no choose X-Plane Folder.", windowTitle, MB_ICONWARNING);
    std::snprintf(settings->xplaneExePath, sizeof settings->xplaneExePath, "%s",
                  kDefaultXPlaneExePath);
}
