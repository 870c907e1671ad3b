#include "cli/commands.h"

#include "cli/exit_codes.h"
#include "cli/xplane_argument.h"
#include "cli/json_string.h"
#include "base/text_file.h"
#include "merge/nav_data.h"
#include "scenery/custom_airport_list.h"
#include "scenery/nav_format.h"
#include "scenery/xplane_paths.h"

#include <ostream>

namespace {
// The navaid rows of a nav.dat as "12", or "null" when it cannot be read.
std::string navaidRowsOf(const std::string& navDatPath) {
    std::string text;
    if (!readTextFile(navDatPath, text, kLargestAddOnFileBytes))
        return "null";
    return std::to_string(countNavaidRows(text));
}
} // namespace

int runList(const ListRequest& request, Console& console) {
    if (!namesXPlaneFolder(request.xplane, console))
        return kExitInputError;
    const XPlaneFolder folder = xplaneFolderAt(request.xplane);
    const std::vector<CustomAirport> airports = listCustomAirports(folder);
    if (!request.json) {
        for (const CustomAirport& airport : airports)
            console.out << airport.folderName << "\n";
        return kExitSuccess;
    }

    const MergeTarget target = mergeTargetOf(folder);
    console.out << "{\n  \"xplane\": " << jsonString(request.xplane) << ",\n"
                << "  \"database\": " << jsonString(target.earthNavPath) << ",\n"
                << "  \"databaseVersion\": "
                << (target.version ? std::to_string(*target.version) : "null") << ",\n"
                << "  \"airports\": [";
    for (std::size_t i = 0; i < airports.size(); ++i) {
        const CustomAirport& airport = airports[i];
        console.out << (i == 0 ? "\n" : ",\n")
                    << "    {\"name\": " << jsonString(airport.folderName)
                    << ", \"navDat\": " << jsonString(airport.navDatPath)
                    << ", \"navaidRows\": " << navaidRowsOf(airport.navDatPath) << "}";
    }
    console.out << (airports.empty() ? "]\n}\n" : "\n  ]\n}\n");
    return kExitSuccess;
}
