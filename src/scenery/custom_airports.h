#pragma once

#include <string>
#include <vector>

// An add-on airport: a folder of "Custom Scenery" that holds "Earth nav data\nav.dat".
struct CustomAirport {
    std::string navDatPath;
    std::string folderName;
    int selected = 0;
};

// The airports found by the last scan, in the order the directory listing gave them.
extern std::vector<CustomAirport> customAirports;
// The X-Plane folder with its trailing backslash, and its global navaid database.
extern std::string xplaneDirectory;
extern std::string earthNavPath;
