#pragma once

#include <optional>
#include <string>
#include <string_view>

// Lines of nav data files ("From": a custom nav.dat; "To": earth_nav.dat). Each line is
// classified by its leading integer, the row code.

inline constexpr int kHeaderRowCode = 810;

inline bool isNavaidRowCode(int code) {
    return code > 1 && code < 14;
}

// One navaid row. Every text is kept whole; line keeps its line feed, if it had one.
struct NavaidRecord {
    int type = 0;
    std::string callsign;
    std::string name;
    std::string rwyName;
    std::string folderName; // "From" records only
    std::string sourcePath; // "From" records only: the nav.dat the row came from
    std::string line;
};

// The leading integer of a line, read as "%d" reads it; none when the line has none.
std::optional<int> rowCode(std::string_view line);

// Reads a navaid row: the row code, six numeric fields that are skipped, then three words
// (callsign, name, runway name). Reading stops at the first field that does not convert;
// the words after it stay empty. Fills type, callsign, name, rwyName and line.
NavaidRecord parseNavaidRow(std::string_view line);

// True when a and b are equal, letters A-Z compared without regard to case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
