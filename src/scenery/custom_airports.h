#pragma once

#include <string>
#include <vector>

// An add-on airport: a folder of "Custom Scenery" that holds "Earth nav data\nav.dat".
struct CustomAirport {
    std::string navDatPath;
    std::string folderName;
    bool selected = false;
};

// The airports of a table that are marked selected, in table order.
inline std::vector<CustomAirport> pickedAirports(const std::vector<CustomAirport>& table) {
    std::vector<CustomAirport> picked;
    for (const CustomAirport& airport : table)
        if (airport.selected)
            picked.push_back(airport);
    return picked;
}
