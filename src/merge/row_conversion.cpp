#include "merge/row_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr double kNmPerDegree = 60;
constexpr double kPi = 3.14159265358979323846;
// The bearing field is the seventh word of a row.
constexpr std::size_t kBearingWord = 6;

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The word of a line at a position (0: the row code), or an empty view.
std::string_view wordAt(std::string_view line, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t i = 0;; ++i) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (i == index || start == at)
            return line.substr(start, at - start);
    }
}

// The words of a line from `first` (a view into it) on, parted by one blank each.
std::string wordsFrom(std::string_view line, std::string_view first) {
    std::string words;
    std::size_t at = static_cast<std::size_t>(first.data() - line.data());
    for (;;) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        if (at == line.size())
            return words;
        if (!words.empty())
            words += ' ';
        while (at < line.size() && !isBlank(line[at]))
            words += line[at++];
    }
}

// The line from `first` (a view into it) to the end of its last word.
std::string_view restFrom(std::string_view line, std::string_view first) {
    std::string_view rest = line.substr(static_cast<std::size_t>(first.data() - line.data()));
    while (!rest.empty() && isBlank(rest.back()))
        rest.remove_suffix(1);
    return rest;
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = upperAscii(c);
    return result;
}

std::optional<double> number(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A whole-degree cell (as coordinateCell gives it) as a number below kCells; none outside the
// globe.
constexpr std::uint32_t kCells = 181 * 361;

std::optional<std::uint32_t> cellKeyOf(double latitude, double longitude) {
    if (!(latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180))
        return std::nullopt;
    return static_cast<std::uint32_t>((latitude + 90) * 361 + (longitude + 180));
}

std::optional<std::uint32_t> cellKeyOf(std::string_view line) {
    const CoordinateCell cell = coordinateCell(line);
    return cellKeyOf(cell.latitude, cell.longitude);
}
} // namespace

RowConverter::RowConverter(NavFormat databaseFormat, std::size_t count,
                           std::function<NavaidRecord(std::size_t)> rowAt)
    : databaseFormat_(databaseFormat), rowAt_(std::move(rowAt)), cellStart_(kCells + 1) {
    std::vector<std::uint32_t> cellOf(count, kCells); // kCells: in no cell
    terminalRegions_.reserve(count / 8);
    localizerIdents_.reserve(count / 8);
    localizers_.reserve(count / 8);
    for (std::size_t i = 0; i < count; ++i) {
        const NavaidRecord row = rowAt_(i);
        if (const std::optional<std::uint32_t> key = cellKeyOf(row.line)) {
            cellOf[i] = *key;
            ++cellStart_[*key + 1];
        }
        if (row.terminal.empty() || equalsIgnoringCase(row.terminal, kEnRouteTerminal))
            continue;
        const auto region = terminalRegions_.try_emplace({row.terminal, {}}, row.region);
        if (!equalsIgnoringCase(region.first->second, row.region))
            region.first->second = {};
        if (isLocalizer(row.type)) {
            const auto ident =
                localizerIdents_.try_emplace({row.terminal, wordAt(row.name, 0)}, row.callsign);
            if (!equalsIgnoringCase(ident.first->second, row.callsign))
                ident.first->second = {};
            localizers_.insert({row.callsign, row.terminal});
        }
    }
    // Counted, then placed: the rows of each cell in file order.
    for (std::uint32_t k = 0; k < kCells; ++k)
        cellStart_[k + 1] += cellStart_[k];
    cellRows_.resize(cellStart_[kCells]);
    std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        if (cellOf[i] != kCells)
            cellRows_[next[cellOf[i]]++] = static_cast<std::uint32_t>(i);
    }
}

bool RowConverter::needsConversion(NavFormat databaseFormat, NavFormat rowFormat, int type) {
    if (rowFormat >= databaseFormat)
        return false;
    return rowFormat == NavFormat::V810 || (!bearingCarriesMagneticCourse(rowFormat, type) &&
                                            bearingCarriesMagneticCourse(databaseFormat, type));
}

RowConverter::Result RowConverter::convert(NavFormat rowFormat, const NavaidRecord& row,
                                           const std::vector<NavaidRecord>& fileRows) const {
    if (!hasColumnsOf(rowFormat, row) || row.callsign.empty())
        return {{},
                "it does not have the columns of its file's format " +
                    std::to_string(versionOf(rowFormat))};
    return rowFormat == NavFormat::V810 ? from810(row, fileRows) : from1100(row);
}

RowConverter::Result RowConverter::from810(const NavaidRecord& row,
                                           const std::vector<NavaidRecord>& fileRows) const {
    std::string reason;
    std::string ident(row.callsign);
    std::string terminal(kEnRouteTerminal);
    std::string_view nameStart = row.name; // where the name begins in the row
    if (isRunwayEquipment(row.type) || (isDme(row.type) && isLocalizerDme(row, fileRows))) {
        if (row.rwyName.empty())
            return {{}, "it has no airport and runway"};
        terminal = row.name;
        nameStart = row.rwyName;
        if (isMarker(row.type)) {
            const std::optional<std::string> localizer = markerIdent(row, fileRows, reason);
            if (!localizer)
                return {{}, reason};
            ident = *localizer;
        }
    } else if (row.type == 12 && !hasStation(row, fileRows)) {
        return {{}, "it is a DME of no localizer, NDB or VOR that is known"};
    } else if (!isDme(row.type) && !isEnRouteStation(row.type)) {
        return {{},
                "row code " + std::to_string(row.type) + " has no rule for format " +
                    std::to_string(versionOf(databaseFormat_))};
    }
    if (nameStart.empty())
        return {{}, "it has no name"};
    const std::optional<std::string> region = regionOf(terminal, row.line, reason);
    if (!region)
        return {{}, reason};

    std::string_view numbers = row.line.substr(0, row.callsign.data() - row.line.data());
    std::string withCourse;
    if (bearingCarriesMagneticCourse(databaseFormat_, row.type)) {
        const std::optional<std::string> changed = withMagneticCourse(numbers, row.line, reason);
        if (!changed)
            return {{}, reason};
        withCourse = *changed;
        numbers = withCourse;
    }
    const std::string converted = std::string(numbers) + ident + " " + terminal + " " + *region +
                                  " " + wordsFrom(row.line, nameStart);
    return {upper(converted) + "\n", {}};
}

RowConverter::Result RowConverter::from1100(const NavaidRecord& row) const {
    std::string reason;
    const std::string_view numbers = row.line.substr(0, row.callsign.data() - row.line.data());
    const std::optional<std::string> changed = withMagneticCourse(numbers, row.line, reason);
    if (!changed)
        return {{}, reason};
    return {*changed + std::string(restFrom(row.line, row.callsign)) + "\n", {}};
}

std::optional<std::string> RowConverter::markerIdent(const NavaidRecord& marker,
                                                     const std::vector<NavaidRecord>& fileRows,
                                                     std::string& reason) const {
    // The add-on's own localizer of that runway, else the database's.
    std::optional<std::string> ident;
    bool several = false;
    for (const NavaidRecord& row : fileRows) {
        if (!isLocalizer(row.type) || !equalsIgnoringCase(row.name, marker.name) ||
            !equalsIgnoringCase(row.rwyName, marker.rwyName) || row.callsign.empty())
            continue;
        several = several || (ident && !equalsIgnoringCase(*ident, row.callsign));
        ident = std::string(row.callsign);
    }
    if (!ident) {
        const auto found = localizerIdents_.find({marker.name, marker.rwyName});
        if (found != localizerIdents_.end()) {
            several = found->second.empty();
            ident = std::string(found->second);
        }
    }
    if (ident && !several)
        return ident;
    reason = std::string(several ? "several localizers" : "no localizer") + " of " +
             std::string(marker.name) + " runway " + std::string(marker.rwyName) +
             (several ? " to choose the marker's identifier from"
                      : " to take the marker's identifier from");
    return std::nullopt;
}

bool RowConverter::isLocalizerDme(const NavaidRecord& dme,
                                  const std::vector<NavaidRecord>& fileRows) const {
    if (dme.name.empty())
        return false;
    for (const NavaidRecord& row : fileRows) {
        if (isLocalizer(row.type) && equalsIgnoringCase(row.callsign, dme.callsign) &&
            equalsIgnoringCase(row.name, dme.name))
            return true;
    }
    return localizers_.count({dme.callsign, dme.name}) != 0;
}

bool RowConverter::hasStation(const NavaidRecord& dme,
                              const std::vector<NavaidRecord>& fileRows) const {
    const CoordinateCell cell = coordinateCell(dme.line);
    for (const NavaidRecord& row : fileRows) {
        if (isEnRouteStation(row.type) && equalsIgnoringCase(row.callsign, dme.callsign) &&
            sameCell(coordinateCell(row.line), cell))
            return true;
    }
    const std::optional<std::uint32_t> key = cellKeyOf(cell.latitude, cell.longitude);
    if (!key)
        return false;
    const auto [begin, end] = rowsInCell(*key);
    for (const std::uint32_t* entry = begin; entry != end; ++entry) {
        const NavaidRecord row = rowAt_(*entry);
        if (isEnRouteStation(row.type) && equalsIgnoringCase(row.callsign, dme.callsign))
            return true;
    }
    return false;
}

std::optional<std::string> RowConverter::regionOf(std::string_view terminal, std::string_view line,
                                                  std::string& reason) const {
    if (!equalsIgnoringCase(terminal, kEnRouteTerminal)) {
        const auto found = terminalRegions_.find({terminal, {}});
        if (found != terminalRegions_.end()) {
            if (!found->second.empty())
                return std::string(found->second);
            reason =
                "the database's rows of " + std::string(terminal) + " lie in several ICAO regions";
            return std::nullopt;
        }
    }
    // The nearest database navaid in the row's cell.
    reason = "no database navaid in its whole-degree cell to take the ICAO region from";
    const std::optional<std::uint32_t> key = cellKeyOf(line);
    const std::optional<Position> at = positionOf(line);
    if (!key || !at)
        return std::nullopt;
    std::optional<std::string> region;
    double nearest = 0;
    const auto [begin, end] = rowsInCell(*key);
    for (const std::uint32_t* entry = begin; entry != end; ++entry) {
        const NavaidRecord row = rowAt_(*entry);
        const std::optional<Position> there = positionOf(row.line);
        if (!there || row.region.empty())
            continue;
        const double north = (there->latitude - at->latitude) * kNmPerDegree;
        const double east =
            (there->longitude - at->longitude) * kNmPerDegree * std::cos(at->latitude * kPi / 180);
        const double distance = std::hypot(north, east);
        if (!region || distance < nearest) {
            region = std::string(row.region);
            nearest = distance;
        }
    }
    return region;
}

std::optional<std::string> RowConverter::withMagneticCourse(std::string_view numbers,
                                                            std::string_view line,
                                                            std::string& reason) const {
    const std::string_view bearing = wordAt(numbers, kBearingWord);
    const std::optional<Position> at = positionOf(line);
    const std::optional<double> variation = at ? nearestVorVariation(*at) : std::nullopt;
    if (!variation) {
        reason = "no database VOR within " +
                 std::to_string(static_cast<int>(kVariationVorRangeNm)) +
                 " nm to take the magnetic variation from";
        return std::nullopt;
    }
    const std::optional<std::string> field = bearingWithMagneticCourse(bearing, *variation);
    if (!field) {
        reason = "its course " + std::string(bearing) + " is not a true course from 0 to 360";
        return std::nullopt;
    }
    const std::size_t start = static_cast<std::size_t>(bearing.data() - numbers.data());
    return std::string(numbers.substr(0, start)) + *field +
           std::string(numbers.substr(start + bearing.size()));
}

std::optional<double> RowConverter::nearestVorVariation(const Position& at) const {
    const double reach = kVariationVorRangeNm / kNmPerDegree; // in degrees of latitude
    const double narrowest = std::max(0.01, std::cos((std::abs(at.latitude) + reach) * kPi / 180));
    const double latitudeFrom = std::max(-90.0, std::trunc(at.latitude - reach));
    const double latitudeTo = std::min(90.0, std::trunc(at.latitude + reach));
    const double longitudeFrom = std::max(-180.0, std::trunc(at.longitude - reach / narrowest));
    const double longitudeTo = std::min(180.0, std::trunc(at.longitude + reach / narrowest));

    std::optional<double> variation;
    double nearest = 0;
    for (double latitude = latitudeFrom; latitude <= latitudeTo; ++latitude) {
        for (double longitude = longitudeFrom; longitude <= longitudeTo; ++longitude) {
            const auto [begin, end] = rowsInCell(*cellKeyOf(latitude, longitude));
            for (const std::uint32_t* entry = begin; entry != end; ++entry) {
                const NavaidRecord row = rowAt_(*entry);
                if (row.type != 3)
                    continue;
                const std::optional<Position> there = positionOf(row.line);
                const std::optional<double> slaved = number(wordAt(row.line, kBearingWord));
                if (!there || !slaved)
                    continue;
                const double north = (there->latitude - at.latitude) * kNmPerDegree;
                const double east = (there->longitude - at.longitude) * kNmPerDegree *
                                    std::cos(at.latitude * kPi / 180);
                const double distance = std::hypot(north, east);
                if (distance <= kVariationVorRangeNm && (!variation || distance < nearest)) {
                    variation = *slaved;
                    nearest = distance;
                }
            }
        }
    }
    return variation;
}

bool RowConverter::WordPair::operator==(const WordPair& other) const {
    return equalsIgnoringCase(first, other.first) && equalsIgnoringCase(second, other.second);
}

std::size_t RowConverter::WordPairHash::operator()(const WordPair& words) const {
    std::uint64_t hash = 0xcbf29ce484222325ull; // FNV-1a
    for (std::string_view word : {words.first, words.second}) {
        for (char c : word)
            hash = (hash ^ static_cast<unsigned char>(upperAscii(c))) * 0x100000001b3ull;
        hash = (hash ^ 0xff) * 0x100000001b3ull; // keeps "AB"+"C" apart from "A"+"BC"
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

std::pair<const std::uint32_t*, const std::uint32_t*>
RowConverter::rowsInCell(std::uint32_t key) const {
    return {cellRows_.data() + cellStart_[key], cellRows_.data() + cellStart_[key + 1]};
}

std::optional<RowConverter::Position> RowConverter::positionOf(std::string_view line) {
    const std::optional<double> latitude = number(wordAt(line, 1));
    const std::optional<double> longitude = number(wordAt(line, 2));
    if (!latitude || !longitude)
        return std::nullopt;
    return Position{*latitude, *longitude};
}
