#pragma once

#include "base/result.h"
#include "merge/nav_data.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class AirportLookup;
class DatabaseText;

// The navaid rows of one add-on file, read in its format, and where the file is.
struct AddOnFileRows {
    const std::string& path;
    const std::vector<NavaidRecord>& rows;
};

// Writes add-on rows of an older format in the database's format, by the rules of
// nav_format.h, looking up what a row lacks in the database, in the rows of its own file and
// in X-Plane's airport data. Made when the first row needs it, it reads the database's rows
// once to group them by terminal area and, for en-route navaids, by identifier; the first
// search for the nearest navaid reads where each lies and groups them by whole-degree cell.
class RowConverter {
  public:
    // The database and the lookup must outlive the converter.
    RowConverter(const DatabaseText& database, AirportLookup& airports);

    // Whether a row of this format and row code must be converted to go into a database of
    // that format (rows of the same or a newer format are never converted).
    static bool needsConversion(NavFormat databaseFormat, NavFormat rowFormat, int type);

    // The row in the database's format, ending in a line feed, or why it cannot be converted.
    // row: read in its file's format, rowFormat, with the columns of its row code.
    Result<std::string> convert(NavFormat rowFormat, const NavaidRecord& row,
                                const AddOnFileRows& file);

  private:
    struct Position {
        double latitude, longitude;
    };
    static constexpr Position kNowhere = {1e9, 1e9}; // further than any range
    // Row indices in numbered groups, each group's in file order.
    class RowGroups {
      public:
        struct Rows {
            const std::uint32_t* first;
            const std::uint32_t* last;
            const std::uint32_t* begin() const { return first; }
            const std::uint32_t* end() const { return last; }
        };

        RowGroups() = default;
        // groupOf[i]: the group of row i, below `groups`; `groups` puts it in none.
        RowGroups(std::uint32_t groups, const std::vector<std::uint32_t>& groupOf);
        Rows operator[](std::uint32_t group) const;

      private:
        std::vector<std::uint32_t> start_; // group k holds rows_[start_[k], start_[k + 1])
        std::vector<std::uint32_t> rows_;
    };
    // What a converted row is made of, as the conversion learns it.
    struct Facts {
        std::string ident, terminal, region, name;
        bool ilsDme = false;
    };

    Result<std::string> from810(const NavaidRecord& row, const AddOnFileRows& file);
    Result<std::string> from1100(const NavaidRecord& row);
    Result<std::string> markerIdent(const NavaidRecord& marker, const AddOnFileRows& file) const;
    bool isLocalizerDme(const NavaidRecord& dme, const AddOnFileRows& file) const;
    bool hasStation(const NavaidRecord& dme, const Position& at, const AddOnFileRows& file) const;

    // The database row whose place the row takes, by nav_format.h's rule.
    std::optional<NavaidRecord> counterpartOf(int type, const Facts& row, const Position& at) const;
    Result<std::string> regionOf(const Facts& row, const Position& at, const AddOnFileRows& file);
    // The region that the airport data, else the database's rows, give the airport.
    std::optional<std::string> airportRegion(std::string_view airport, const AddOnFileRows& file);
    std::optional<std::string> nearestRegion(const Position& at) const;
    std::string airportName(std::string_view airport, const AddOnFileRows& file);
    double variationOf(const Facts& row, const std::optional<NavaidRecord>& counterpart,
                       const Position& at);
    // The variation of the airport's localizers, else of the nearest VOR, else the model's.
    double airportVariation(std::string_view airport, const Position& at) const;
    // The numbers of a row with the bearing field of a localizer in the database's format.
    Result<std::string> withMagneticCourse(std::string_view numbers, double variation) const;

    // Reads where the database's rows lie, once, into positions_ and cellRows_.
    void placeRows() const;
    // The nearest database row within rangeNm of `at` that `accept` takes; none without one.
    template <typename Accept>
    std::optional<std::uint32_t> nearestRow(const Position& at, double rangeNm,
                                            Accept&& accept) const;
    // Calls onRow with each database row of the terminal area, in file order.
    template <typename OnRow> void forEachRowOf(std::string_view terminal, OnRow&& onRow) const;
    std::uint32_t terminalGroup(std::string_view terminal) const;
    std::uint32_t identGroup(std::string_view ident) const;

    static std::optional<Position> positionOf(std::string_view line);
    static double distanceNm(const Position& from, const Position& to);

    const DatabaseText& database_;
    AirportLookup& airports_;
    double modelYear_;         // the database's data cycle, for the magnetic model
    RowGroups terminalRows_;   // rows of terminal areas other than ENRT, by terminalGroup
    RowGroups enRouteRows_;    // ENRT rows, by identGroup
    std::uint32_t groups_ = 1; // of terminalRows_ and enRouteRows_: a power of two
    // Where a database row lies, as near as a search for the nearest needs.
    struct Place {
        float latitude, longitude;
    };
    // Made by placeRows: where each row lies (NaN where it has none), the rows by cell.
    mutable std::vector<Place> positions_;
    mutable RowGroups cellRows_;
    mutable bool rowsPlaced_ = false;
    // Facts decided for an airport's first row that its other rows share: regions by add-on
    // file and airport, variations by airport (upper-cased).
    std::map<std::pair<std::string, std::string>, std::optional<std::string>> airportRegions_;
    std::map<std::string, double> airportVariations_;
};
