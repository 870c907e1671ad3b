#include "scenery/xplane_paths.h"

#include "base/file_ops.h"
#include "base/path.h"
#include "base/text_file.h"
#include "scenery/nav_format.h"

namespace {
// Enough of a file to hold its marker and version lines.
constexpr std::size_t kFileStart = 4096;

std::optional<int> versionOfFile(const std::string& path, bool* found = nullptr) {
    std::string start;
    const bool read = static_cast<bool>(readFileStart(path, kFileStart, start));
    if (found != nullptr)
        *found = read;
    return read ? declaredVersion(start) : std::nullopt;
}

// The paths below directory, which ends with its separator.
XPlaneFolder folderAt(std::string directory, char separator) {
    const std::string sep(1, separator);
    XPlaneFolder folder;
    folder.directory = std::move(directory);
    folder.earthNavPath =
        folder.directory + "Resources" + sep + "default data" + sep + std::string(kDatabaseName);
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

std::vector<std::string> globalAirportDataPaths(const XPlaneFolder& folder) {
    const std::string sep(1, folder.separator);
    const std::string below = sep + "Global Airports" + sep + "Earth nav data" + sep + "apt.dat";
    return {folder.directory + "Global Scenery" + below,
            folder.directory + "Custom Scenery" + below};
}

std::string packAirportDataPath(std::string_view navDatPath) {
    const std::size_t separator = navDatPath.find_last_of("/\\");
    const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    return std::string(navDatPath.substr(0, nameStart)) + "apt.dat";
}

std::string customSceneryPath(const XPlaneFolder& folder) {
    return folder.directory + "Custom Scenery";
}

std::string folderLabelText(std::string_view xplaneExePath) {
    return "X-Plane folder: " + std::string(xplaneExePath);
}

MergeTarget mergeTargetOf(const XPlaneFolder& folder) {
    MergeTarget target;
    target.earthNavPath = folder.earthNavPath;
    const std::optional<int> defaultVersion = versionOfFile(folder.earthNavPath);
    const std::optional<NavFormat> defaultFormat =
        defaultVersion ? navFormatOf(*defaultVersion) : std::nullopt;
    if (defaultFormat && readsCustomData(*defaultFormat)) {
        const std::string customData =
            folder.directory + std::string(kCustomDataFolder) + folder.separator;
        const std::string customDatabase = customData + std::string(kDatabaseName);
        if (isFile(customDatabase)) {
            target.earthNavPath = customDatabase;
        } else {
            for (std::string_view updateFile : kNavdataUpdateFiles) {
                if (isFile(customData + std::string(updateFile))) {
                    target.incompleteUpdate = updateFile;
                    break;
                }
            }
        }
    }
    target.version = versionOfFile(target.earthNavPath, &target.found);
    return target;
}

std::string mergeTargetText(const MergeTarget& target) {
    const std::string prefix = "Merging into: ";
    if (target.earthNavPath.empty())
        return prefix + "nothing yet (no X-Plane folder)";
    if (!target.incompleteUpdate.empty())
        return prefix + "nothing (Custom Data has " + target.incompleteUpdate +
               " but no earth_nav.dat)";
    std::string what;
    if (!target.found)
        what = "not found";
    else if (!target.version)
        what = "no version line";
    else if (const std::optional<NavFormat> format = navFormatOf(*target.version))
        what = formatName(*format);
    else
        what = "unknown version " + std::to_string(*target.version);
    return prefix + target.earthNavPath + " (" + what + ")";
}

std::string mergeRefusal(const MergeTarget& target) {
    if (target.incompleteUpdate.empty())
        return {};
    return "Custom Data holds a navdata update (" + target.incompleteUpdate +
           ") but no earth_nav.dat, so Quillet cannot tell which database X-Plane reads.\n"
           "Nothing was changed.";
}
