#include "scenery/xplane_folder_choice_win32.h"

#include "settings/settings.h"

#include <commdlg.h>

bool chooseXPlaneFolder(HWND owner, const char* caption) {
    Settings* settings = Settings::instance();
    // Pairs of display text and pattern; the list ends with an empty string.
    static const char kFilter[] = "X-Plane.exe\0X-Plane.exe\0All Files (*.*)\0*.*\0";

    // The dialog starts with an empty file name and fills its own buffer, so that a cancel
    // leaves the configured path alone.
    char chosenPath[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = chosenPath;
    ofn.nMaxFile = sizeof chosenPath;
    ofn.Flags = OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_NOREADONLYRETURN | OFN_FILEMUSTEXIST |
                OFN_HIDEREADONLY;

    if (!GetOpenFileNameA(&ofn)) {
        MessageBoxA(owner, "Error: no choose X-Plane Folder.", caption, MB_ICONWARNING);
        return false;
    }
    settings->xplaneExePath = chosenPath;
    return true;
}
