#include "scenery/custom_airport_list.h"

#include "base/folder_listing.h"
#include "base/text.h"

#include <algorithm>

bool listsBefore(std::string_view a, std::string_view b) {
    const auto caseless = [](char x, char y) {
        return static_cast<unsigned char>(upperAscii(x)) <
               static_cast<unsigned char>(upperAscii(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), caseless))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), caseless))
        return false;
    const auto bytes = [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), bytes);
}

std::vector<CustomAirport> listCustomAirports(const XPlaneFolder& folder) {
    std::vector<CustomAirport> airports;
    std::vector<std::string> names =
        folderEntries(customSceneryPath(folder)).value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end(), listsBefore);
    for (std::string& name : names) {
        std::string navDatPath = customNavDatPath(folder, name);
        // As the window's scan: anything at that path counts.
        if (pathExists(navDatPath))
            airports.push_back({std::move(navDatPath), std::move(name), 0});
    }
    return airports;
}
