#include "merge/row_conversion.h"

#include "base/text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr double kNmPerDegree = 60;
constexpr double kPi = 3.14159265358979323846;
// The bearing field is the seventh word of a row.
constexpr std::size_t kBearingWord = 6;

// The word of a line at a position (0: the row code), or an empty view.
std::string_view wordAt(std::string_view line, std::size_t index) {
    std::size_t at = 0;
    std::string_view word = nextWord(line, at);
    for (std::size_t i = 0; i < index && !word.empty(); ++i)
        word = nextWord(line, at);
    return word;
}

// The words of a line from `first` (a view into it) on, parted by one blank each.
std::string wordsFrom(std::string_view line, std::string_view first) {
    std::string words;
    std::size_t at = static_cast<std::size_t>(first.data() - line.data());
    for (std::string_view word = nextWord(line, at); !word.empty(); word = nextWord(line, at)) {
        if (!words.empty())
            words += ' ';
        words += word;
    }
    return words;
}

// The line from `first` (a view into it) to the end of its last word.
std::string_view restFrom(std::string_view line, std::string_view first) {
    std::string_view rest = line.substr(static_cast<std::size_t>(first.data() - line.data()));
    while (!rest.empty() && isBlank(rest.back()))
        rest.remove_suffix(1);
    return rest;
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

RowConverter::RowGroups::RowGroups(std::uint32_t groups, const std::vector<std::uint32_t>& groupOf)
    : start_(std::size_t{groups} + 1) {
    // Counted, then placed: a counting sort, which keeps the file order within each group.
    for (const std::uint32_t group : groupOf) {
        if (group != groups)
            ++start_[group + 1];
    }
    for (std::uint32_t k = 0; k < groups; ++k)
        start_[k + 1] += start_[k];
    rows_.resize(start_[groups]);
    std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
    for (std::size_t i = 0; i < groupOf.size(); ++i) {
        if (groupOf[i] != groups)
            rows_[next[groupOf[i]]++] = static_cast<std::uint32_t>(i);
    }
}

RowConverter::RowGroups::Rows RowConverter::RowGroups::operator[](std::uint32_t group) const {
    return {rows_.data() + start_[group], rows_.data() + start_[group + 1]};
}

RowConverter::RowConverter(NavFormat databaseFormat, std::size_t count,
                           std::function<NavaidRecord(std::size_t)> rowAt)
    : databaseFormat_(databaseFormat), rowAt_(std::move(rowAt)) {
    // A group for every four rows or so: with about ten rows to a terminal area, few areas
    // share one.
    while (terminalGroups_ < count / 4)
        terminalGroups_ *= 2;
    std::vector<std::uint32_t> cellOf(count, kCells);
    std::vector<std::uint32_t> terminalOf(count, terminalGroups_);
    for (std::size_t i = 0; i < count; ++i) {
        const NavaidRecord row = rowAt_(i);
        if (!row.terminal.empty() && !equalsIgnoringCase(row.terminal, kEnRouteTerminal))
            terminalOf[i] = terminalGroup(row.terminal);
        const std::optional<std::uint32_t> cell = cellKeyOf(row.line);
        if (cell)
            cellOf[i] = *cell;
        if (cell && row.type == 3) {
            const std::optional<Position> at = positionOf(row.line);
            const std::optional<double> variation = finiteNumber(wordAt(row.line, kBearingWord));
            if (at && variation)
                vors_.push_back({*cell, *at, *variation});
        }
    }
    cellRows_ = RowGroups(kCells, cellOf);
    terminalRows_ = RowGroups(terminalGroups_, terminalOf);
    std::stable_sort(vors_.begin(), vors_.end(),
                     [](const Vor& a, const Vor& b) { return a.cell < b.cell; });
}

std::uint32_t RowConverter::terminalGroup(std::string_view terminal) const {
    return static_cast<std::uint32_t>(caseBlindHash(terminal) & (terminalGroups_ - 1));
}

template <typename OnRow>
void RowConverter::forEachRowOf(std::string_view terminal, OnRow&& onRow) const {
    for (const std::uint32_t i : terminalRows_[terminalGroup(terminal)]) {
        const NavaidRecord row = rowAt_(i);
        if (equalsIgnoringCase(row.terminal, terminal))
            onRow(row);
    }
}

bool RowConverter::needsConversion(NavFormat databaseFormat, NavFormat rowFormat, int type) {
    if (rowFormat >= databaseFormat)
        return false;
    return rowFormat == NavFormat::V810 || (!bearingCarriesMagneticCourse(rowFormat, type) &&
                                            bearingCarriesMagneticCourse(databaseFormat, type));
}

Result<std::string> RowConverter::convert(NavFormat rowFormat, const NavaidRecord& row,
                                          const std::vector<NavaidRecord>& fileRows) const {
    if (!hasColumnsOf(rowFormat, row) || row.callsign.empty())
        return Failure{"it does not have the columns of its file's format " +
                       std::to_string(versionOf(rowFormat))};
    return rowFormat == NavFormat::V810 ? from810(row, fileRows) : from1100(row);
}

Result<std::string> RowConverter::from810(const NavaidRecord& row,
                                          const std::vector<NavaidRecord>& fileRows) const {
    std::string_view ident = row.callsign;
    std::string_view terminal = kEnRouteTerminal;
    std::string_view nameStart = row.name; // where the name begins in the row
    if (isRunwayEquipment(row.type) || (isDme(row.type) && isLocalizerDme(row, fileRows))) {
        if (row.rwyName.empty())
            return Failure{"it has no airport and runway"};
        terminal = row.name;
        nameStart = row.rwyName;
        if (isMarker(row.type)) {
            const Result<std::string_view> localizer = markerIdent(row, fileRows);
            if (!localizer)
                return Failure{localizer.reason()};
            ident = *localizer;
        }
    } else if (row.type == 12 && !hasStation(row, fileRows)) {
        return Failure{"it is a DME of no localizer, NDB or VOR that is known"};
    } else if (!isDme(row.type) && !isEnRouteStation(row.type)) {
        return Failure{"row code " + std::to_string(row.type) + " has no rule for format " +
                       std::to_string(versionOf(databaseFormat_))};
    }
    if (nameStart.empty())
        return Failure{"it has no name"};
    const Result<std::string_view> region = regionOf(terminal, row.line);
    if (!region)
        return Failure{region.reason()};

    std::string converted(row.line.substr(0, row.callsign.data() - row.line.data()));
    if (bearingCarriesMagneticCourse(databaseFormat_, row.type)) {
        Result<std::string> withCourse = withMagneticCourse(converted, row.line);
        if (!withCourse)
            return withCourse;
        converted = std::move(*withCourse);
    }
    converted.append(ident).append(" ").append(terminal).append(" ").append(*region);
    converted.append(" ").append(wordsFrom(row.line, nameStart));
    makeUpperAscii(converted);
    converted += '\n';
    return converted;
}

Result<std::string> RowConverter::from1100(const NavaidRecord& row) const {
    const std::string_view numbers = row.line.substr(0, row.callsign.data() - row.line.data());
    Result<std::string> changed = withMagneticCourse(numbers, row.line);
    if (changed)
        *changed += std::string(restFrom(row.line, row.callsign)) + "\n";
    return changed;
}

Result<std::string_view>
RowConverter::markerIdent(const NavaidRecord& marker,
                          const std::vector<NavaidRecord>& fileRows) const {
    // The add-on's own localizer of that runway, else the database's.
    std::optional<std::string_view> ident;
    bool several = false;
    for (const NavaidRecord& row : fileRows) {
        if (!isLocalizer(row.type) || !equalsIgnoringCase(row.name, marker.name) ||
            !equalsIgnoringCase(row.rwyName, marker.rwyName) || row.callsign.empty())
            continue;
        several = several || (ident && !equalsIgnoringCase(*ident, row.callsign));
        ident = row.callsign;
    }
    if (!ident) {
        forEachRowOf(marker.name, [&](const NavaidRecord& row) {
            if (!isLocalizer(row.type) || !equalsIgnoringCase(wordAt(row.name, 0), marker.rwyName))
                return;
            if (!ident)
                ident = row.callsign;
            else
                several = several || !equalsIgnoringCase(*ident, row.callsign);
        });
    }
    if (ident && !several)
        return *ident;
    return Failure{std::string(several ? "several localizers" : "no localizer") + " of " +
                   std::string(marker.name) + " runway " + std::string(marker.rwyName) +
                   (several ? " to choose the marker's identifier from"
                            : " to take the marker's identifier from")};
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
    bool found = false;
    forEachRowOf(dme.name, [&](const NavaidRecord& row) {
        found = found || (isLocalizer(row.type) && equalsIgnoringCase(row.callsign, dme.callsign));
    });
    return found;
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
    for (const std::uint32_t i : cellRows_[*key]) {
        const NavaidRecord row = rowAt_(i);
        if (isEnRouteStation(row.type) && equalsIgnoringCase(row.callsign, dme.callsign))
            return true;
    }
    return false;
}

Result<std::string_view> RowConverter::regionOf(std::string_view terminal,
                                                std::string_view line) const {
    if (!equalsIgnoringCase(terminal, kEnRouteTerminal)) {
        std::optional<std::string_view> region;
        bool several = false;
        forEachRowOf(terminal, [&](const NavaidRecord& row) {
            if (!region)
                region = row.region;
            else
                several = several || !equalsIgnoringCase(*region, row.region);
        });
        if (region && !several)
            return *region;
        if (region)
            return Failure{"the database's rows of " + std::string(terminal) +
                           " lie in several ICAO regions"};
    }
    // The nearest database navaid in the row's cell.
    const Failure noneNear{"no database navaid in its whole-degree cell to take the ICAO region "
                           "from"};
    const std::optional<std::uint32_t> key = cellKeyOf(line);
    const std::optional<Position> at = positionOf(line);
    if (!key || !at)
        return noneNear;
    std::optional<std::string_view> region;
    double nearest = 0;
    for (const std::uint32_t i : cellRows_[*key]) {
        const NavaidRecord row = rowAt_(i);
        const std::optional<Position> there = positionOf(row.line);
        if (!there || row.region.empty())
            continue;
        const double distance = distanceNm(*at, *there);
        if (!region || distance < nearest) {
            region = row.region;
            nearest = distance;
        }
    }
    if (!region)
        return noneNear;
    return *region;
}

Result<std::string> RowConverter::withMagneticCourse(std::string_view numbers,
                                                     std::string_view line) const {
    const std::string_view bearing = wordAt(numbers, kBearingWord);
    const std::optional<Position> at = positionOf(line);
    const std::optional<double> variation = at ? nearestVorVariation(*at) : std::nullopt;
    if (!variation)
        return Failure{"no database VOR within " +
                       std::to_string(static_cast<int>(kVariationVorRangeNm)) +
                       " nm to take the magnetic variation from"};
    const std::optional<std::string> field = bearingWithMagneticCourse(bearing, *variation);
    if (!field)
        return Failure{"its course " + std::string(bearing) +
                       " is not a true course from 0 to 360"};
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
    if (longitudeFrom > longitudeTo)
        return std::nullopt;

    // The cells of one latitude, from longitudeFrom to longitudeTo, follow each other in
    // vors_, in the order of that loop.
    const auto cellBefore = [](const Vor& vor, std::uint32_t cell) { return vor.cell < cell; };
    std::optional<double> variation;
    double nearest = 0;
    for (double latitude = latitudeFrom; latitude <= latitudeTo; ++latitude) {
        const std::uint32_t last = *cellKeyOf(latitude, longitudeTo);
        for (auto vor = std::lower_bound(vors_.begin(), vors_.end(),
                                         *cellKeyOf(latitude, longitudeFrom), cellBefore);
             vor != vors_.end() && vor->cell <= last; ++vor) {
            const double distance = distanceNm(at, vor->at);
            if (distance <= kVariationVorRangeNm && (!variation || distance < nearest)) {
                variation = vor->variation;
                nearest = distance;
            }
        }
    }
    return variation;
}

double RowConverter::distanceNm(const Position& from, const Position& to) {
    // On a plane tangent to the globe at `from`: near enough within a few hundred miles.
    const double north = (to.latitude - from.latitude) * kNmPerDegree;
    const double east =
        (to.longitude - from.longitude) * kNmPerDegree * std::cos(from.latitude * kPi / 180);
    return std::hypot(north, east);
}

std::optional<RowConverter::Position> RowConverter::positionOf(std::string_view line) {
    const std::optional<double> latitude = finiteNumber(wordAt(line, 1));
    const std::optional<double> longitude = finiteNumber(wordAt(line, 2));
    if (!latitude || !longitude)
        return std::nullopt;
    return Position{*latitude, *longitude};
}
