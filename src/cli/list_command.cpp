#include "cli/commands.h"

#include "cli/exit_codes.h"
#include "base/folder_listing.h"
#include "base/text_file.h"
#include "merge/nav_data.h"
#include "scenery/custom_airport_list.h"
#include "scenery/xplane_paths.h"

#include <cstdio>
#include <ostream>

namespace {
// The length of the UTF-8 sequence that starts at text[at], or 0 when none does.
std::size_t utf8SequenceAt(const std::string& text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0                 ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// A JSON string. Folder names are bytes: UTF-8 sequences stay as they are, any other byte
// above 127 is taken as Latin-1 (as Windows names in the ANSI code page mostly are).
std::string jsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        char escaped[8];
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += text[at++];
        } else if (byte < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
            ++at;
        } else if (byte < 0x80) {
            json += text[at++];
        } else if (const std::size_t length = utf8SequenceAt(text, at)) {
            json.append(text, at, length);
            at += length;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
            ++at;
        }
    }
    return json + "\"";
}

// The navaid rows of a nav.dat as "12", or "null" when it cannot be read.
std::string navaidRowsOf(const std::string& navDatPath) {
    std::string text;
    if (!readTextFile(navDatPath, text))
        return "null";
    return std::to_string(countNavaidRows(text));
}
} // namespace

int runList(const ListRequest& request, Console& console) {
    if (!isFolder(request.xplane)) {
        console.err << "quillet: there is no X-Plane folder " << request.xplane << "\n";
        return kExitInputError;
    }
    const XPlaneFolder folder = xplaneFolderAt(request.xplane);
    const std::vector<CustomAirport> airports = listCustomAirports(folder);
    if (!request.json) {
        for (const CustomAirport& airport : airports)
            console.out << airport.folderName << "\n";
        return kExitSuccess;
    }

    console.out << "{\n  \"xplane\": " << jsonString(request.xplane) << ",\n"
                << "  \"database\": " << jsonString(folder.earthNavPath) << ",\n"
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
