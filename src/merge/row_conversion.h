#pragma once

#include "base/result.h"
#include "merge/nav_data.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Writes add-on rows of an older format in the database's format, by the rules of
// nav_format.h, looking up what a row lacks in the database and in the rows of its own file.
// Made when the first row needs it, it reads the database's rows once: it groups them by
// whole-degree cell and by terminal area, and keeps the position and variation of each VOR.
class RowConverter {
  public:
    // The database's navaid rows: `count` of them, rowAt(i) giving row i read in the
    // database's format. The rows must outlive the converter.
    RowConverter(NavFormat databaseFormat, std::size_t count,
                 std::function<NavaidRecord(std::size_t)> rowAt);

    // Whether a row of this format and row code must be converted to go into a database of
    // that format (rows of the same or a newer format are never converted).
    static bool needsConversion(NavFormat databaseFormat, NavFormat rowFormat, int type);

    // The row in the database's format, ending in a line feed, or why it cannot be converted.
    // row: read in its file's format, rowFormat; fileRows: every navaid row of its file, read
    // alike.
    Result<std::string> convert(NavFormat rowFormat, const NavaidRecord& row,
                                const std::vector<NavaidRecord>& fileRows) const;

  private:
    struct Position {
        double latitude, longitude;
    };
    // A database VOR, for the magnetic variation: its cell, where it is, and its variation.
    struct Vor {
        std::uint32_t cell;
        Position at;
        double variation;
    };
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

    Result<std::string> from810(const NavaidRecord& row,
                                const std::vector<NavaidRecord>& fileRows) const;
    Result<std::string> from1100(const NavaidRecord& row) const;
    Result<std::string_view> markerIdent(const NavaidRecord& marker,
                                         const std::vector<NavaidRecord>& fileRows) const;
    bool isLocalizerDme(const NavaidRecord& dme, const std::vector<NavaidRecord>& fileRows) const;
    bool hasStation(const NavaidRecord& dme, const std::vector<NavaidRecord>& fileRows) const;
    Result<std::string_view> regionOf(std::string_view terminal, std::string_view line) const;
    Result<std::string> withMagneticCourse(std::string_view numbers, std::string_view line) const;
    std::optional<double> nearestVorVariation(const Position& at) const;
    // The group of a terminal area's rows in terminalRows_; rows of other terminal areas
    // may share it.
    std::uint32_t terminalGroup(std::string_view terminal) const;
    // Calls onRow with each database row of the terminal area, in file order.
    template <typename OnRow> void forEachRowOf(std::string_view terminal, OnRow&& onRow) const;

    static std::optional<Position> positionOf(std::string_view line);
    static double distanceNm(const Position& from, const Position& to);

    NavFormat databaseFormat_;
    std::function<NavaidRecord(std::size_t)> rowAt_;
    RowGroups cellRows_;               // by whole-degree cell
    RowGroups terminalRows_;           // rows of terminal areas other than ENRT, by terminalGroup
    std::uint32_t terminalGroups_ = 1; // a power of two
    std::vector<Vor> vors_;            // by cell, then in file order
};
