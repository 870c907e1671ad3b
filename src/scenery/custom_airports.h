#pragma once

#include <string>

// An add-on airport: a folder of "Custom Scenery" that holds "Earth nav data\nav.dat".
struct CustomAirport {
    std::string navDatPath;
    std::string folderName;
    bool selected = false;
};
