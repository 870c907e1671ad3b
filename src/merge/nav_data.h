#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Lines of nav data files ("From": a custom nav.dat; "To": earth_nav.dat). Each line is
// classified by its leading integer, the row code.

inline constexpr int kHeaderRowCode = 810;

inline bool isNavaidRowCode(int code) {
    return code > 1 && code < 14;
}

// How many lines of a text are navaid rows (row codes 2 to 13).
std::size_t countNavaidRows(std::string_view text);

// One navaid row. Its texts refer to the line it was read from, which must outlive it;
// line keeps its line feed, if it had one.
struct NavaidRecord {
    int type = 0;
    std::string_view callsign;
    std::string_view name;
    std::string_view rwyName;
    std::string_view line;
    std::string_view sourcePath; // "From" records only: the nav.dat the row came from
};

// The fields that make a navaid's NAME: name and runway name for row codes 4 to 12 (runway
// equipment), name alone for the others.
inline bool nameIncludesRunway(int type) {
    return type >= 4 && type <= 12;
}

// The leading integer of a line, read as "%d" reads it; none when the line has none.
std::optional<int> rowCode(std::string_view line);

// Reads a navaid row as sscanf reads it with "%d %*f %*f %*f %*d %*d %*f %s %s %s": the row
// code, six numeric fields that are skipped, then three words (callsign, name, runway name).
// Reading stops at the first field that does not convert, or at a NUL byte; the words after
// it stay empty. Fills type, callsign, name, rwyName and line.
NavaidRecord parseNavaidRow(std::string_view line);

// The whole-degree cell of a line: its latitude and longitude words (the two words after the
// row code), each cut before its last '.' and converted with strtod.
struct CoordinateCell {
    double latitude = 0;
    double longitude = 0;
};

CoordinateCell coordinateCell(std::string_view line);

// Cells are compared as numbers: -0 equals 0, and a part that is not a number (NaN) equals
// nothing, not even itself.
inline bool sameCell(const CoordinateCell& a, const CoordinateCell& b) {
    return a.latitude == b.latitude && a.longitude == b.longitude;
}

// True when a and b are equal, letters A-Z compared without regard to case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
