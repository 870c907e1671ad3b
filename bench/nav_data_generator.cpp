#include "nav_data_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
std::string crlfLine(const std::string& text) {
    return text + "\r\n";
}

// Row counts of a 30,000-row database, by row code.
struct Share {
    int type;
    int rows;
};
constexpr Share kShares[] = {{2, 7000}, {3, 3800}, {4, 2900}, {5, 600},   {6, 2700},
                             {7, 1100}, {8, 1000}, {9, 300},  {12, 8800}, {13, 1800}};
constexpr int kShareTotal = 30000;
} // namespace

NavDataGenerator::NavDataGenerator(std::uint64_t seed) : state_(seed) {}

std::uint32_t NavDataGenerator::below(std::uint32_t n) {
    state_ += 0x9e3779b97f4a7c15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) % n);
}

double NavDataGenerator::uniform(double from, double to) {
    return from + (to - from) * below(1000000000) / 1e9;
}

std::string NavDataGenerator::letters(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += static_cast<char>('A' + below(26));
    return text;
}

std::string NavDataGenerator::placeName() {
    static const char* const syllables[] = {"SEA", "TAC", "BO", "RIN", "MAR", "LO",  "KEN", "DAL",
                                            "VER", "NOR", "ST", "ELL", "AN",  "TON", "VIL", "BUR"};
    std::string name;
    const std::uint32_t parts = 2 + below(3);
    for (std::uint32_t i = 0; i < parts; ++i)
        name += syllables[below(16)];
    return name;
}

std::string NavDataGenerator::runwayName() {
    static const char* const sides[] = {"", "L", "R", "C"};
    char text[8];
    std::snprintf(text, sizeof text, "%02u%s", 1 + below(36), sides[below(4)]);
    return text;
}

NavDataGenerator::Row NavDataGenerator::localizerRow(int airport, int type) {
    const Airport& a = airports_[airport];
    Row row{type,
            a.latitude + uniform(-0.02, 0.02),
            a.longitude + uniform(-0.02, 0.02),
            a.elevation,
            10800 + 5 * static_cast<int>(below(80)),
            18,
            uniform(0, 360),
            "I" + letters(3),
            a.icao,
            runwayName(),
            "",
            airport};
    static const char* const kinds[] = {"",   "",   "NDB", "VOR", "ILS-cat-I", "LOC",    "GS",
                                        "OM", "MM", "IM",  "",    "",          "DME-ILS"};
    row.kind = kinds[type];
    return row;
}

std::string NavDataGenerator::format(const Row& row, NavFormat rowFormat) const {
    char text[256];
    if (rowFormat == NavFormat::V810) {
        std::snprintf(text, sizeof text, "%-2d %12.8f %13.8f %6d %5d %3d %10.3f %-4s %s %s%s%s",
                      row.type, row.latitude, row.longitude, row.elevation, row.frequency,
                      row.range, row.bearing, isMarker(row.type) ? "----" : row.callsign.c_str(),
                      row.name.c_str(), row.rwyName.c_str(), row.kind.empty() ? "" : " ",
                      row.kind.c_str());
        return text;
    }
    // Runway equipment and the DMEs of localizers belong to their airport; localizers carry
    // their magnetic course (a variation of 10 degrees east everywhere).
    const bool atAirport = row.airport >= 0 && (isRunwayEquipment(row.type) || row.type == 12);
    double bearing = row.bearing;
    if (isLocalizer(row.type))
        bearing += 360 * std::fmod(std::round(row.bearing - 10) + 360, 360);
    // Away from airports the region follows the 10-degree band of latitude.
    const std::string region =
        atAirport
            ? airports_[row.airport].region
            : std::string(1, static_cast<char>('A' + static_cast<int>(row.latitude + 90) / 10)) +
                  "9";
    const std::string name = atAirport ? row.rwyName : row.name + " " + row.rwyName;
    std::snprintf(text, sizeof text, "%-2d %12.8f %13.8f %6d %5d %3d %10.3f %-4s %s %s %s%s%s",
                  row.type, row.latitude, row.longitude, row.elevation, row.frequency, row.range,
                  bearing, row.callsign.c_str(),
                  atAirport ? airports_[row.airport].icao.c_str() : "ENRT", region.c_str(),
                  name.c_str(), row.kind.empty() ? "" : " ", row.kind.c_str());
    return text;
}

std::string NavDataGenerator::header(NavFormat rowFormat, const char* what) const {
    return crlfLine("I") +
           crlfLine(std::to_string(versionOf(rowFormat)) + " Version - " + what + ".");
}

std::string NavDataGenerator::database(int navaidRows, NavFormat databaseFormat) {
    airports_.clear();
    rows_.clear();
    const auto scaled = [&](int rows) { return rows * navaidRows / kShareTotal; };
    const int airportCount = std::max(1, scaled(2400));
    for (int i = 0; i < airportCount; ++i) {
        char icao[8];
        std::snprintf(icao, sizeof icao, "%c%c%c%c", "KECLYRZ"[i % 7], 'A' + (i / 7) % 26,
                      'A' + (i / 182) % 26, 'A' + (i / 4732) % 26);
        airports_.push_back({icao,
                             uniform(-55, 70),
                             uniform(-180, 180),
                             static_cast<int>(below(2000)),
                             {},
                             std::string(1, icao[0]) + static_cast<char>('1' + i % 7)});
    }

    std::vector<std::vector<Row>> byType(14);
    // Localizers with their glide slopes, markers and DMEs.
    std::vector<Row> localizers;
    for (int i = 0; i < scaled(2900) + scaled(600); ++i)
        localizers.push_back(
            localizerRow(static_cast<int>(below(airportCount)), i < scaled(2900) ? 4 : 5));
    for (std::size_t i = 0; i < localizers.size(); ++i) {
        const Row& loc = localizers[i];
        byType[loc.type].push_back(loc);
        Row related = loc;
        if (loc.type == 4 && static_cast<int>(i) < scaled(2700)) {
            related.type = 6;
            related.range = 10;
            related.bearing = 300000 + std::floor(loc.bearing * 1000) / 1000;
            related.kind = "GS";
            byType[6].push_back(related);
        }
        static const char* const markers[] = {"OM", "MM", "IM"};
        const int markerRows[] = {scaled(1100), scaled(1000), scaled(300)};
        for (int m = 0; m < 3; ++m) {
            if (static_cast<int>(i) < markerRows[m]) {
                related = loc;
                related.type = 7 + m;
                related.latitude += uniform(-0.05, 0.05);
                related.frequency = related.range = 0;
                related.kind = markers[m];
                byType[7 + m].push_back(related);
            }
        }
        related = loc;
        related.type = 12;
        related.bearing = 0;
        related.kind = "DME-ILS";
        byType[12].push_back(related);
    }
    // VORs, most with a DME, and NDBs, some with one; stand-alone DMEs.
    const auto enRoute = [&](int type, int identLength, const char* kind, int frequency,
                             int range) {
        Row row{type,
                uniform(-55, 70),
                uniform(-180, 180),
                static_cast<int>(below(3000)),
                frequency,
                range,
                type == 3 ? uniform(-20, 20) : 0.0,
                letters(identLength),
                placeName(),
                kind,
                "",
                -1};
        return row;
    };
    for (int i = 0; i < scaled(3800); ++i) {
        Row vor = enRoute(3, 3, "VORTAC", 10800 + 5 * static_cast<int>(below(400)), 130);
        byType[3].push_back(vor);
        if (static_cast<int>(byType[12].size()) < scaled(8800)) {
            vor.type = 12;
            vor.bearing = 0;
            vor.kind = "DME";
            byType[12].push_back(vor);
        }
    }
    for (int i = 0; i < scaled(7000); ++i) {
        Row ndb = enRoute(2, 2 + static_cast<int>(below(2)), "NDB",
                          190 + static_cast<int>(below(400)), 50);
        byType[2].push_back(ndb);
        if (static_cast<int>(byType[12].size()) < scaled(8800)) {
            ndb.type = 12;
            ndb.frequency = 10800 + 5 * static_cast<int>(below(400));
            ndb.kind = "NDB-DME";
            byType[12].push_back(ndb);
        }
    }
    for (int i = 0; i < scaled(1800); ++i)
        byType[13].push_back(enRoute(13, 3, "DME", 10800 + 5 * static_cast<int>(below(400)), 40));

    std::string text = header(databaseFormat, "generated nav data for the merge benchmark");
    for (const std::vector<Row>& rows : byType) {
        for (const Row& row : rows) {
            if (row.airport >= 0)
                airports_[row.airport].rows.push_back(rows_.size());
            rows_.push_back(row);
            text += crlfLine(format(row, databaseFormat));
        }
    }
    return text + crlfLine("99");
}

std::vector<NavDataGenerator::Row> NavDataGenerator::newEquipment(int airport,
                                                                  const std::string& runway) {
    const std::string ident = "Q" + std::to_string(newIdentifiers_++);
    std::vector<Row> rows;
    const std::uint32_t kind = below(5);
    if (kind < 3) {
        // An ILS: its rows share the localizer's identifier, airport and runway.
        Row localizer = localizerRow(airport, 4);
        localizer.callsign = ident;
        localizer.rwyName = runway;
        rows.push_back(localizer);
        Row related = localizer;
        related.type = 6;
        related.range = 10;
        related.bearing = 300000 + std::floor(localizer.bearing * 1000) / 1000;
        related.kind = "GS";
        rows.push_back(related);
        static const char* const markers[] = {"OM", "MM"};
        for (int m = 0; m < 2; ++m) {
            related = localizer;
            related.type = 7 + m;
            related.latitude += uniform(-0.05, 0.05);
            related.frequency = related.range = 0;
            related.kind = markers[m];
            rows.push_back(related);
        }
        related = localizer;
        related.type = 12;
        related.bearing = 0;
        related.kind = "DME-ILS";
        rows.push_back(related);
        return rows;
    }
    // A VOR or an NDB near the airport, with a DME.
    const Airport& a = airports_[airport];
    const bool vor = kind == 3;
    Row station{vor ? 3 : 2,
                a.latitude + uniform(-0.05, 0.05),
                a.longitude + uniform(-0.05, 0.05),
                a.elevation,
                vor ? 10800 + 5 * static_cast<int>(below(400)) : 190 + static_cast<int>(below(400)),
                vor ? 130 : 50,
                vor ? uniform(-20, 20) : 0.0,
                ident,
                placeName(),
                vor ? "VORTAC" : "NDB",
                "",
                -1};
    rows.push_back(station);
    station.type = 12;
    station.bearing = 0;
    station.kind = "DME";
    if (!vor)
        station.frequency = 10800 + 5 * static_cast<int>(below(400));
    rows.push_back(station);
    return rows;
}

std::vector<std::string> NavDataGenerator::customAirports(int count, NavFormat fileFormat) {
    std::vector<int> withRows;
    for (std::size_t a = 0; a < airports_.size(); ++a) {
        if (!airports_[a].rows.empty())
            withRows.push_back(static_cast<int>(a));
    }
    std::vector<std::string> files;
    for (int n = 0; n < count; ++n) {
        const int airport = withRows[below(static_cast<std::uint32_t>(withRows.size()))];
        const Airport& a = airports_[airport];
        std::string text = header(fileFormat, "custom scenery");
        const int rows = 11 + static_cast<int>(below(3));
        std::vector<Row> equipment; // new rows still to be written, in reverse
        int runways = 0;
        for (int r = 0; r < rows || !equipment.empty(); ++r, ++customRows_) {
            Row row = rows_[a.rows[below(static_cast<std::uint32_t>(a.rows.size()))]];
            if (customRows_ % 10 == 0) {
                // an exact duplicate, at most moved a little within its cell
                row.frequency += 5 * static_cast<int>(below(2));
            } else if (customRows_ % 50 == 1) {
                row.callsign = "X" + letters(3); // a NAME conflict
            } else if (customRows_ % 50 == 26) {
                row.name = letters(4); // a CALLSIGN conflict: every NAME field differs
                row.rwyName = "9" + letters(1);
            } else {
                if (equipment.empty()) {
                    equipment = newEquipment(airport, "N" + std::to_string(runways++));
                    std::reverse(equipment.begin(), equipment.end());
                }
                row = equipment.back();
                equipment.pop_back();
            }
            text += crlfLine(format(row, fileFormat));
        }
        files.push_back(text + crlfLine("99"));
    }
    return files;
}
