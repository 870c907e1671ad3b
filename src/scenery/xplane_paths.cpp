#include "scenery/xplane_paths.h"

std::optional<XPlaneFolder> xplaneFolderOf(std::string_view xplaneExePath) {
    if (xplaneExePath.size() < 2)
        return std::nullopt;
    const std::size_t lastBackslash = xplaneExePath.rfind('\\');
    if (lastBackslash == std::string_view::npos)
        return std::nullopt;

    XPlaneFolder folder;
    folder.directory = xplaneExePath.substr(0, lastBackslash + 1);
    folder.earthNavPath = folder.directory + "Resources\\default data\\earth_nav.dat";
    folder.searchPattern = folder.directory + "Custom Scenery\\*.*";
    if (folder.earthNavPath.size() > kMaxPathLength || folder.searchPattern.size() > kMaxPathLength)
        return std::nullopt;
    return folder;
}

std::string customNavDatPath(std::string_view xplaneDirectory, std::string_view folderName) {
    std::string path(xplaneDirectory);
    path += "Custom Scenery\\";
    path += folderName;
    path += "\\Earth nav data\\nav.dat";
    return path;
}

std::string folderLabelText(std::string_view xplaneExePath) {
    return "X-Plane folder: " + std::string(xplaneExePath);
}
