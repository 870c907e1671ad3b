#include "scenery/xplane_paths.h"

#include "base/path.h"

namespace {
// The paths below directory, which ends with its separator.
XPlaneFolder folderAt(std::string directory, char separator) {
    const std::string sep(1, separator);
    XPlaneFolder folder;
    folder.directory = std::move(directory);
    folder.earthNavPath =
        folder.directory + "Resources" + sep + "default data" + sep + "earth_nav.dat";
    folder.searchPattern = folder.directory + "Custom Scenery" + sep + "*.*";
    folder.separator = separator;
    return folder;
}

std::string navDatPath(std::string_view xplaneDirectory, std::string_view folderName,
                       char separator) {
    const std::string sep(1, separator);
    std::string path(xplaneDirectory);
    path += "Custom Scenery" + sep;
    path += folderName;
    path += sep + "Earth nav data" + sep + "nav.dat";
    return path;
}

bool isSeparator(char c) {
    return c == '/' || c == kPathSeparator;
}
} // namespace

std::optional<XPlaneFolder> xplaneFolderOf(std::string_view xplaneExePath) {
    if (xplaneExePath.size() < 2)
        return std::nullopt;
    const std::size_t lastBackslash = xplaneExePath.rfind('\\');
    if (lastBackslash == std::string_view::npos)
        return std::nullopt;

    XPlaneFolder folder = folderAt(std::string(xplaneExePath.substr(0, lastBackslash + 1)), '\\');
    if (folder.earthNavPath.size() > kMaxPathLength || folder.searchPattern.size() > kMaxPathLength)
        return std::nullopt;
    return folder;
}

XPlaneFolder xplaneFolderAt(std::string_view directory) {
    if (directory.empty())
        directory = ".";
    // The root folder keeps its one separator.
    while (directory.size() > 1 && isSeparator(directory.back()))
        directory.remove_suffix(1);
    std::string withSeparator(directory);
    if (!isSeparator(withSeparator.back()))
        withSeparator += kPathSeparator;
    return folderAt(std::move(withSeparator), kPathSeparator);
}

std::string customNavDatPath(std::string_view xplaneDirectory, std::string_view folderName) {
    return navDatPath(xplaneDirectory, folderName, '\\');
}

std::string customNavDatPath(const XPlaneFolder& folder, std::string_view folderName) {
    return navDatPath(folder.directory, folderName, folder.separator);
}

std::string customSceneryPath(const XPlaneFolder& folder) {
    return folder.directory + "Custom Scenery";
}

std::string folderLabelText(std::string_view xplaneExePath) {
    return "X-Plane folder: " + std::string(xplaneExePath);
}
