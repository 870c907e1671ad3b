#pragma once

#include "scenery/nav_format.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Lines of nav data files ("From": a custom nav.dat; "To": earth_nav.dat). Each line is
// classified by its leading integer, the row code. The formats' columns are in nav_format.h.

inline constexpr int kHeaderRowCode = 810;

// How many lines of a text are navaid rows (row codes 2 to 13).
std::size_t countNavaidRows(std::string_view text);

// One navaid row. Its texts refer to the line it was read from, which must outlive it;
// line keeps its line end, if it had one.
struct NavaidRecord : NavaidWords {
    std::string_view line;
    std::string_view sourcePath; // "From" records only: the nav.dat the row came from
};

// The leading integer of a line, read as "%d" reads it; none when the line has none.
std::optional<int> rowCode(std::string_view line);

// Reads a navaid row as sscanf reads it with "%d %*f %*f %*f %*d %*d %*f %s %s %s": the row
// code, six numeric fields that are skipped, then three words (callsign, name, runway name).
// Reading stops at the first field that does not convert, or at a NUL byte; the words after
// it stay empty. Fills type, callsign, name, rwyName and line.
NavaidRecord parseNavaidRow(std::string_view line);

// Reads a navaid row in the columns of its format: in 810 as above; in 1100 and later the row
// code, the six numbers, then the identifier, terminal area and region words and the name
// (every word after them). Fields that cannot be read stay empty.
NavaidRecord parseNavaidRow(std::string_view line, NavFormat format);

// The whole text as strtod converts it; none when strtod would stop before its end, or the
// number is not finite.
std::optional<double> finiteNumber(std::string_view text);

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
