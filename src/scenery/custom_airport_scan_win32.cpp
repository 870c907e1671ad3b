#include "scenery/custom_airport_scan_win32.h"

#include "ui/ui_values_win32.h"
#include "scenery/xplane_paths.h"

#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

void addAirportIfItHasNavData(const char* folderName) {
    std::string navDatPath = customNavDatPath(xplaneDirectory, folderName);
    struct _stat status;
    if (_stat(navDatPath.c_str(), &status) != 0)
        return;
    customAirports.push_back({std::move(navDatPath), folderName, 0});
    SendMessageA(airportListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folderName));
}

} // namespace

void scanCustomAirports(HWND, const char* xplaneExePath) {
    const std::optional<XPlaneFolder> folder = xplaneFolderOf(xplaneExePath);
    if (!folder)
        return;
    xplaneDirectory = folder->directory;
    mergeTarget = mergeTargetOf(*folder);

    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(folder->searchPattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    // Every entry but the folder itself ("."); a plain file has no nav.dat below it.
    do {
        if (std::strcmp(entry.cFileName, ".") != 0)
            addAirportIfItHasNavData(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}
