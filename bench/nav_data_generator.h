#pragma once

#include "scenery/nav_format.h"

#include <cstdint>
#include <string>
#include <vector>

// Deterministic nav data, shaped like a real earth_nav.dat: rows grouped by row code, with the
// mix of a real database (many NDBs and DMEs, VORs, ILS localizers with their glide slopes,
// markers and DMEs), and custom airports of about twelve rows each, some of them duplicates of
// or in conflict with database rows, the others new equipment as an add-on airport has it. A
// file is in the 810 or the 1200 format (with terminal areas and regions; markers carry their
// localizer's identifier). Every file has CR LF line ends, as on Windows.
class NavDataGenerator {
  public:
    explicit NavDataGenerator(std::uint64_t seed);

    // earth_nav.dat with the given number of navaid rows.
    std::string database(int navaidRows, NavFormat format = NavFormat::V810);

    // The nav.dat of each of `count` custom airports in the given format, placed at airports
    // of the database last generated. A tenth of all rows are exact duplicates of database
    // rows; about one in twenty-five is a NAME or CALLSIGN conflict with one; the others are
    // new equipment, whole: an ILS (localizer, glide slope, outer and middle marker, DME) on a
    // new runway, or a VOR or NDB with its DME.
    std::vector<std::string> customAirports(int count, NavFormat fileFormat);

  private:
    struct Row {
        int type;
        double latitude, longitude;
        int elevation, frequency, range;
        double bearing;
        std::string callsign; // a marker's is its localizer's; 810 writes "----" instead
        std::string name, rwyName, kind;
        int airport; // index into airports_, or -1
    };
    struct Airport {
        std::string icao;
        double latitude, longitude;
        int elevation;
        std::vector<std::size_t> rows; // its rows in rows_
        std::string region;
    };

    std::uint32_t below(std::uint32_t n);
    double uniform(double from, double to);
    std::string letters(int count);
    std::string placeName();
    std::string runwayName();
    Row localizerRow(int airport, int type);
    std::vector<Row> newEquipment(int airport, const std::string& runway);
    std::string format(const Row& row, NavFormat format) const;
    std::string header(NavFormat format, const char* what) const;

    std::uint64_t state_;
    std::vector<Airport> airports_;
    std::vector<Row> rows_;
    int customRows_ = 0;
    int newIdentifiers_ = 0;
};
