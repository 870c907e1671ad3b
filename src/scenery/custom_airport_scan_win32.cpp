#include "scenery/custom_airport_scan_win32.h"

#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

void addAirportIfItHasNavData(const char* folderName, XPlaneScenery& scenery, HWND listBox) {
    std::string navDatPath = customNavDatPath(scenery.xplaneDirectory, folderName);
    struct _stat status;
    if (_stat(navDatPath.c_str(), &status) != 0)
        return;
    scenery.airports.push_back({std::move(navDatPath), folderName, false});
    SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folderName));
}

} // namespace

void scanCustomAirports(const char* xplaneExePath, XPlaneScenery& scenery, HWND listBox) {
    const std::optional<XPlaneFolder> folder = xplaneFolderOf(xplaneExePath);
    if (!folder)
        return;
    scenery.xplaneDirectory = folder->directory;
    scenery.mergeTarget = mergeTargetOf(*folder);
    scenery.airportDataPaths = globalAirportDataPaths(*folder);

    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(folder->searchPattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    // Every entry but the folder itself ("."); a plain file has no nav.dat below it.
    do {
        if (std::strcmp(entry.cFileName, ".") != 0)
            addAirportIfItHasNavData(entry.cFileName, scenery, listBox);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}
