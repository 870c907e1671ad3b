#pragma once

#include "merge/nav_data.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// Writes add-on rows of an older format in the database's format, by the rules of
// nav_format.h, looking up what a row lacks in the database and in the rows of its own file.
class RowConverter {
  public:
    // The database's navaid rows: `count` of them, rowAt(i) giving row i read in the
    // database's format. The rows must outlive the converter.
    RowConverter(NavFormat databaseFormat, std::size_t count,
                 std::function<NavaidRecord(std::size_t)> rowAt);

    // Whether a row of this format and row code must be converted to go into a database of
    // that format (rows of the same or a newer format are never converted).
    static bool needsConversion(NavFormat databaseFormat, NavFormat rowFormat, int type);

    struct Result {
        std::string row;    // in the database's format, ending in a line feed; empty if none
        std::string reason; // why the row cannot be converted
    };

    // row: read in its file's format, rowFormat; fileRows: every navaid row of its file,
    // read alike.
    Result convert(NavFormat rowFormat, const NavaidRecord& row,
                   const std::vector<NavaidRecord>& fileRows) const;

  private:
    struct Position {
        double latitude, longitude;
    };

    Result from810(const NavaidRecord& row, const std::vector<NavaidRecord>& fileRows) const;
    Result from1100(const NavaidRecord& row) const;
    std::optional<std::string> markerIdent(const NavaidRecord& marker,
                                           const std::vector<NavaidRecord>& fileRows,
                                           std::string& reason) const;
    bool isLocalizerDme(const NavaidRecord& dme, const std::vector<NavaidRecord>& fileRows) const;
    bool hasStation(const NavaidRecord& dme, const std::vector<NavaidRecord>& fileRows) const;
    std::optional<std::string> regionOf(std::string_view terminal, std::string_view line,
                                        std::string& reason) const;
    std::optional<std::string> withMagneticCourse(std::string_view numbers, std::string_view line,
                                                  std::string& reason) const;
    std::optional<double> nearestVorVariation(const Position& at) const;
    // The database rows of one cell, as indices.
    std::pair<const std::uint32_t*, const std::uint32_t*> rowsInCell(std::uint32_t key) const;

    static std::optional<Position> positionOf(std::string_view line);

    // Two words of the database, compared as navaid words are: letters A-Z without regard to
    // case.
    struct WordPair {
        std::string_view first, second;
        bool operator==(const WordPair& other) const;
    };
    struct WordPairHash {
        std::size_t operator()(const WordPair& words) const;
    };

    NavFormat databaseFormat_;
    std::function<NavaidRecord(std::size_t)> rowAt_;
    // Terminal area -> its one region, or an empty view when its rows have several.
    std::unordered_map<WordPair, std::string_view, WordPairHash> terminalRegions_;
    // (airport, runway) -> the identifier of its localizer, or empty when it has several.
    std::unordered_map<WordPair, std::string_view, WordPairHash> localizerIdents_;
    // (identifier, airport) of every localizer.
    std::unordered_set<WordPair, WordPairHash> localizers_;
    // The indices of the database rows, cell by cell: those of cell k are
    // cellRows_[cellStart_[k], cellStart_[k + 1]).
    std::vector<std::uint32_t> cellStart_;
    std::vector<std::uint32_t> cellRows_;
};
