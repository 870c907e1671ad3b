#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Paths below the X-Plane folder. The window derives them from the full path of X-Plane.exe
// as Windows paths: the separator is always a backslash, whatever the platform the code runs
// on. The command line is given the folder itself and joins with the platform's separator.

// The longest path, in characters, that the Windows file functions accept.
inline constexpr std::size_t kMaxPathLength = 259;

struct XPlaneFolder {
    std::string directory;     // with its trailing separator, e.g. C:\X-Plane\ .
    std::string earthNavPath;  // the global navaid database
    std::string searchPattern; // every entry of Custom Scenery
    char separator = '\\';
};

// The folder that holds X-Plane.exe. None when the path names no folder (fewer than two
// characters, or no backslash), or when the folder is so long that the database's path or
// the search pattern would be longer than kMaxPathLength.
std::optional<XPlaneFolder> xplaneFolderOf(std::string_view xplaneExePath);

// The X-Plane folder given as a folder of the platform the program runs on, its separators at
// the end dropped. On Windows these are the paths xplaneFolderOf gives for DIR\X-Plane.exe.
XPlaneFolder xplaneFolderAt(std::string_view directory);

// Custom Scenery\<folderName>\Earth nav data\nav.dat below the X-Plane folder, whole.
std::string customNavDatPath(std::string_view xplaneDirectory, std::string_view folderName);
// The same, with the folder's separator.
std::string customNavDatPath(const XPlaneFolder& folder, std::string_view folderName);

// X-Plane's Global Airports apt.dat, which names every airport: X-Plane 12 keeps it in
// Global Scenery, X-Plane 11 in Custom Scenery; both paths, in that order.
std::vector<std::string> globalAirportDataPaths(const XPlaneFolder& folder);

// The apt.dat beside an add-on pack's nav.dat.
std::string packAirportDataPath(std::string_view navDatPath);

// The folder of the add-on airports, without a separator at the end.
std::string customSceneryPath(const XPlaneFolder& folder);

// The main window's folder label: "X-Plane folder: " followed by the path as it stands.
std::string folderLabelText(std::string_view xplaneExePath);

// The database a merge goes into, decided from the X-Plane folder and what its files say.
struct MergeTarget {
    std::string earthNavPath;
    bool found = false;         // whether it could be read
    std::optional<int> version; // what its second line declares (nav_format.h)
    // The file of a navdata update that Custom Data holds without an earth_nav.dat: then no
    // merge goes into this folder, since which database X-Plane reads is not known.
    std::string incompleteUpdate;
};

// The default database, or, when that is of X-Plane 11 or later, Custom Data\earth_nav.dat
// where it exists (a navdata update replaces the default database whole). Custom Data
// without earth_nav.dat is the user's own (user_nav.dat and the like) unless it holds a
// navdata update's other files.
MergeTarget mergeTargetOf(const XPlaneFolder& folder);

// The main window's line about it: "Merging into: " the path and its format.
std::string mergeTargetText(const MergeTarget& target);

// Why no merge may go into the target; empty when one may.
std::string mergeRefusal(const MergeTarget& target);
