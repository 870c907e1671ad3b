#include "merge/row_conversion.h"

#include "base/text.h"
#include "merge/airport_lookup.h"
#include "merge/database_text.h"
#include "merge/magnetic_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kNmPerDegree = 60;
constexpr double kPi = 3.14159265358979323846;
// The bearing field is the seventh word of a row.
constexpr std::size_t kBearingWord = 6;
// The magnetic model's epoch, for a database that names no data cycle.
constexpr double kModelEpoch = 2025.0;

// The word of a line at a position (0: the row code), or an empty view.
std::string_view wordAt(std::string_view line, std::size_t index) {
    std::size_t at = 0;
    std::string_view word = nextWord(line, at);
    for (std::size_t i = 0; i < index && !word.empty(); ++i)
        word = nextWord(line, at);
    return word;
}

// The words of a line from `first` (a view into it) on, parted by one blank each, spelled as
// 1100 names spell them.
std::string spelledWordsFrom(std::string_view line, std::string_view first) {
    std::string words;
    std::size_t at = static_cast<std::size_t>(first.data() - line.data());
    for (std::string_view word = nextWord(line, at); !word.empty(); word = nextWord(line, at)) {
        if (!words.empty())
            words += ' ';
        words += spelledNameWord(word);
    }
    return words;
}

// The line from `first` (a view into it) to the end of its last word.
std::string_view restFrom(std::string_view line, std::string_view first) {
    return trimmed(line.substr(static_cast<std::size_t>(first.data() - line.data())));
}

// A whole-degree cell (the coordinates cut to whole degrees) as a number below kCells; none
// outside the globe.
constexpr std::uint32_t kCells = 181 * 361;

std::optional<std::uint32_t> cellKeyOf(double latitude, double longitude) {
    if (!(latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180))
        return std::nullopt;
    return static_cast<std::uint32_t>((std::trunc(latitude) + 90) * 361 +
                                      (std::trunc(longitude) + 180));
}

std::size_t groupsFor(std::size_t rows) {
    // A group for every four rows or so: with about ten rows to a terminal area, few areas
    // share one.
    std::size_t groups = 1;
    while (groups < rows / 4)
        groups *= 2;
    return groups;
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

RowConverter::RowConverter(const DatabaseText& database, AirportLookup& airports)
    : database_(database), airports_(airports),
      modelYear_(dataCycleYear(database.headerLine()).value_or(kModelEpoch)) {
    const std::size_t count = database.rowCount();
    groups_ = static_cast<std::uint32_t>(groupsFor(count));
    std::vector<std::uint32_t> terminalOf(count, groups_), identOf(count, groups_);
    for (std::size_t i = 0; i < count; ++i) {
        const NavaidRecord row = database.row(i);
        if (equalsIgnoringCase(row.terminal, kEnRouteTerminal))
            identOf[i] = identGroup(row.callsign);
        else if (!row.terminal.empty())
            terminalOf[i] = terminalGroup(row.terminal);
    }
    terminalRows_ = RowGroups(groups_, terminalOf);
    enRouteRows_ = RowGroups(groups_, identOf);
}

void RowConverter::placeRows() const {
    if (rowsPlaced_)
        return;
    rowsPlaced_ = true;
    const std::size_t count = database_.rowCount();
    constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    positions_.assign(count, {kNone, kNone});
    std::vector<std::uint32_t> cellOf(count, kCells);
    for (std::size_t i = 0; i < count; ++i) {
        if (const std::optional<Position> at = positionOf(database_.rowLine(i))) {
            positions_[i] = {static_cast<float>(at->latitude), static_cast<float>(at->longitude)};
            cellOf[i] = cellKeyOf(at->latitude, at->longitude).value_or(kCells);
        }
    }
    cellRows_ = RowGroups(kCells, cellOf);
}

std::uint32_t RowConverter::terminalGroup(std::string_view terminal) const {
    return static_cast<std::uint32_t>(caseBlindHash(terminal) & (groups_ - 1));
}

std::uint32_t RowConverter::identGroup(std::string_view ident) const {
    return static_cast<std::uint32_t>(caseBlindHash(ident) & (groups_ - 1));
}

template <typename OnRow>
void RowConverter::forEachRowOf(std::string_view terminal, OnRow&& onRow) const {
    for (const std::uint32_t i : terminalRows_[terminalGroup(terminal)]) {
        const NavaidRecord row = database_.row(i);
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
                                          const AddOnFileRows& file) {
    return rowFormat == NavFormat::V810 ? from810(row, file) : from1100(row);
}

Result<std::string> RowConverter::from810(const NavaidRecord& row, const AddOnFileRows& file) {
    const std::optional<Position> at = positionOf(row.line);
    if (!at)
        return Failure{"it has no position"};
    Facts facts;
    facts.ident = upperCased(row.callsign);
    std::string_view nameStart = row.name; // where the name begins in the row
    facts.terminal = kEnRouteTerminal;
    if (isRunwayEquipment(row.type) || (isDme(row.type) && isLocalizerDme(row, file))) {
        if (row.rwyName.empty())
            return Failure{"it has no airport and runway"};
        facts.terminal = upperCased(row.name);
        facts.ilsDme = isDme(row.type);
        nameStart = row.rwyName;
        if (isMarker(row.type)) {
            const Result<std::string> localizer = markerIdent(row, file);
            if (!localizer)
                return Failure{localizer.reason()};
            facts.ident = upperCased(*localizer);
        }
    } else if (row.type == 12 && !hasStation(row, *at, file)) {
        return Failure{"it is a DME of no localizer, NDB or VOR that is known"};
    } else if (!isDme(row.type) && !isEnRouteStation(row.type)) {
        return Failure{"row code " + std::to_string(row.type) + " has no rule for format " +
                       std::to_string(versionOf(database_.format()))};
    }
    if (!facts.ilsDme)
        facts.name = spelledWordsFrom(row.line, nameStart);

    const std::optional<NavaidRecord> counterpart = counterpartOf(row.type, facts, *at);
    if (counterpart) {
        facts.region = counterpart->region;
        facts.terminal = counterpart->terminal;
        if (equalsIgnoringCase(facts.ident, counterpart->callsign))
            facts.ident = counterpart->callsign;
        if (facts.ilsDme ? isIlsDmeName(counterpart->name)
                         : sameWordsIgnoringCase(facts.name, counterpart->name))
            facts.name = counterpart->name;
    } else {
        Result<std::string> region = regionOf(facts, *at, file);
        if (!region)
            return Failure{region.reason()};
        facts.region = *region;
    }
    if (facts.ilsDme && facts.name.empty())
        facts.name = ilsDmeName(airportName(facts.terminal, file));

    std::string converted(row.line.substr(0, row.callsign.data() - row.line.data()));
    if (bearingCarriesMagneticCourse(database_.format(), row.type)) {
        Result<std::string> withCourse =
            withMagneticCourse(converted, variationOf(facts, counterpart, *at));
        if (!withCourse)
            return withCourse;
        converted = std::move(*withCourse);
    }
    converted.append(facts.ident).append(" ").append(facts.terminal).append(" ");
    converted.append(facts.region).append(" ").append(facts.name).append("\n");
    return converted;
}

Result<std::string> RowConverter::from1100(const NavaidRecord& row) {
    const std::string_view numbers = row.line.substr(0, row.callsign.data() - row.line.data());
    const std::optional<Position> at = positionOf(row.line);
    if (!at)
        return Failure{"it has no position"};
    const Facts facts{std::string(row.callsign), std::string(row.terminal), std::string(row.region),
                      std::string(row.name)};
    Result<std::string> changed =
        withMagneticCourse(numbers, variationOf(facts, counterpartOf(row.type, facts, *at), *at));
    if (changed)
        *changed += std::string(restFrom(row.line, row.callsign)) + "\n";
    return changed;
}

Result<std::string> RowConverter::markerIdent(const NavaidRecord& marker,
                                              const AddOnFileRows& file) const {
    // The add-on's own localizer of that runway, else the database's.
    std::optional<std::string_view> ident;
    bool several = false;
    for (const NavaidRecord& row : file.rows) {
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
        return std::string(*ident);
    return Failure{std::string(several ? "several localizers" : "no localizer") + " of " +
                   std::string(marker.name) + " runway " + std::string(marker.rwyName) +
                   (several ? " to choose the marker's identifier from"
                            : " to take the marker's identifier from")};
}

bool RowConverter::isLocalizerDme(const NavaidRecord& dme, const AddOnFileRows& file) const {
    if (dme.name.empty())
        return false;
    for (const NavaidRecord& row : file.rows) {
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

bool RowConverter::hasStation(const NavaidRecord& dme, const Position& at,
                              const AddOnFileRows& file) const {
    for (const NavaidRecord& row : file.rows) {
        if (!isEnRouteStation(row.type) || !equalsIgnoringCase(row.callsign, dme.callsign))
            continue;
        if (const std::optional<Position> there = positionOf(row.line);
            there && distanceNm(at, *there) <= kSameNavaidRangeNm)
            return true;
    }
    for (const std::uint32_t i : enRouteRows_[identGroup(dme.callsign)]) {
        const NavaidRecord row = database_.row(i);
        if (isEnRouteStation(row.type) && equalsIgnoringCase(row.callsign, dme.callsign) &&
            distanceNm(at, positionOf(row.line).value_or(kNowhere)) <= kSameNavaidRangeNm)
            return true;
    }
    return false;
}

std::optional<NavaidRecord> RowConverter::counterpartOf(int type, const Facts& row,
                                                        const Position& at) const {
    if (equalsIgnoringCase(row.terminal, kEnRouteTerminal)) {
        // The nearest navaid of that identifier.
        std::optional<NavaidRecord> nearest;
        double nearestNm = kSameNavaidRangeNm;
        for (const std::uint32_t i : enRouteRows_[identGroup(row.ident)]) {
            const NavaidRecord candidate = database_.row(i);
            if (candidate.type != type || !equalsIgnoringCase(candidate.callsign, row.ident))
                continue;
            const double distance = distanceNm(at, positionOf(candidate.line).value_or(kNowhere));
            if (distance <= nearestNm) {
                nearest = candidate;
                nearestNm = distance;
            }
        }
        return nearest;
    }
    // The same identifier and name, else the same name, else the same identifier: the first
    // in file order of the best kind. An ILS DME's name is its airport's, known only later.
    std::optional<NavaidRecord> best;
    int bestKind = 0;
    forEachRowOf(row.terminal, [&](const NavaidRecord& candidate) {
        if (candidate.type != type)
            return;
        const bool sameIdent = equalsIgnoringCase(candidate.callsign, row.ident);
        const bool sameName = !row.ilsDme && sameWordsIgnoringCase(candidate.name, row.name);
        const int kind = sameIdent && (sameName || row.ilsDme) ? 3 : sameName ? 2 : sameIdent;
        if (kind > bestKind) {
            best = candidate;
            bestKind = kind;
        }
    });
    return best;
}

Result<std::string> RowConverter::regionOf(const Facts& row, const Position& at,
                                           const AddOnFileRows& file) {
    std::optional<std::string> region;
    if (!equalsIgnoringCase(row.terminal, kEnRouteTerminal)) {
        // Decided for the airport's first row, so that its rows share one region.
        const auto key = std::make_pair(file.path, upperCased(row.terminal));
        auto decided = airportRegions_.find(key);
        if (decided == airportRegions_.end()) {
            std::optional<std::string> airport = airportRegion(row.terminal, file);
            decided = airportRegions_.emplace(key, airport ? airport : nearestRegion(at)).first;
        }
        region = decided->second;
    } else {
        region = nearestRegion(at);
        // Else the region of the add-on's own airport, when its runways are that near.
        for (auto other = file.rows.begin(); !region && other != file.rows.end(); ++other) {
            const std::optional<Position> there = positionOf(other->line);
            if (isRunwayEquipment(other->type) && there &&
                distanceNm(at, *there) <= kRegionNavaidRangeNm)
                region = airportRegion(other->name, file);
        }
    }
    if (region)
        return std::move(*region);
    return Failure{"no ICAO region is known for it: no airport data names one, and no database "
                   "navaid is within " +
                   std::to_string(static_cast<int>(kRegionNavaidRangeNm)) + " nm"};
}

std::optional<std::string> RowConverter::nearestRegion(const Position& at) const {
    const std::optional<std::uint32_t> nearest =
        nearestRow(at, kRegionNavaidRangeNm,
                   [](const NavaidRecord& candidate) { return candidate.region.size() == 2; });
    if (!nearest)
        return std::nullopt;
    return std::string(database_.row(*nearest).region);
}

std::optional<std::string> RowConverter::airportRegion(std::string_view airport,
                                                       const AddOnFileRows& file) {
    if (std::optional<std::string> region = airports_.regionOf(file.path, airport))
        return upperCased(*region);
    // The one region of the database's rows of the airport.
    std::optional<std::string_view> region;
    bool several = false;
    forEachRowOf(airport, [&](const NavaidRecord& row) {
        if (!region)
            region = row.region;
        else
            several = several || !equalsIgnoringCase(*region, row.region);
    });
    if (region && !several)
        return std::string(*region);
    return std::nullopt;
}

std::string RowConverter::airportName(std::string_view airport, const AddOnFileRows& file) {
    // The name the database's ILS DMEs of the airport give it, else the airport data's.
    std::optional<std::string_view> name;
    forEachRowOf(airport, [&](const NavaidRecord& row) {
        if (!name && isDme(row.type) && isIlsDmeName(row.name))
            name = airportNameOfIlsDme(row.name);
    });
    if (name && !name->empty())
        return std::string(*name);
    if (std::optional<std::string> named = airports_.nameOf(file.path, airport))
        return upperCased(*named);
    return std::string(airport);
}

double RowConverter::variationOf(const Facts& row, const std::optional<NavaidRecord>& counterpart,
                                 const Position& at) {
    if (counterpart && isLocalizer(counterpart->type)) {
        if (std::optional<double> variation =
                variationOfBearing(wordAt(counterpart->line, kBearingWord)))
            return *variation;
    }
    // Else the airport's, decided for its first localizer.
    const std::string airport = upperCased(row.terminal);
    auto decided = airportVariations_.find(airport);
    if (decided == airportVariations_.end())
        decided = airportVariations_.emplace(airport, airportVariation(airport, at)).first;
    return decided->second;
}

double RowConverter::airportVariation(std::string_view airport, const Position& at) const {
    std::optional<double> variation;
    forEachRowOf(airport, [&](const NavaidRecord& localizer) {
        if (!variation && isLocalizer(localizer.type))
            variation = variationOfBearing(wordAt(localizer.line, kBearingWord));
    });
    if (variation)
        return *variation;
    if (const std::optional<std::uint32_t> vor =
            nearestRow(at, kVariationVorRangeNm, [](const NavaidRecord& candidate) {
                return candidate.type == 3 &&
                       finiteNumber(wordAt(candidate.line, kBearingWord)).has_value();
            }))
        return *finiteNumber(wordAt(database_.row(*vor).line, kBearingWord));
    return magneticDeclination(at.latitude, at.longitude, modelYear_);
}

Result<std::string> RowConverter::withMagneticCourse(std::string_view numbers,
                                                     double variation) const {
    const std::string_view bearing = wordAt(numbers, kBearingWord);
    const std::optional<std::string> field = bearingWithMagneticCourse(bearing, variation);
    if (!field)
        return Failure{"its course " + std::string(bearing) +
                       " is not a true course from 0 to 360"};
    const std::size_t start = static_cast<std::size_t>(bearing.data() - numbers.data());
    return std::string(numbers.substr(0, start)) + *field +
           std::string(numbers.substr(start + bearing.size()));
}

template <typename Accept>
std::optional<std::uint32_t> RowConverter::nearestRow(const Position& at, double rangeNm,
                                                      Accept&& accept) const {
    placeRows();
    // Rings of cells around the place's own, the nearest first. Cells of the ring r lie at
    // least r - 1 whole degrees away in latitude or longitude: once that is further than the
    // nearest row found, or than the range, no further ring can hold a nearer one.
    const double nmPerRing = kNmPerDegree * std::max(0.01, std::cos(at.latitude * kPi / 180));
    const int reachInLatitude = static_cast<int>(rangeNm / kNmPerDegree) + 1;
    const int centreLatitude = static_cast<int>(std::trunc(at.latitude));
    const int centreLongitude = static_cast<int>(std::trunc(at.longitude));
    std::optional<std::uint32_t> nearest;
    double nearestNm = rangeNm;
    const auto search = [&](int latitude, int longitude) {
        if (std::abs(latitude - centreLatitude) > reachInLatitude)
            return;
        const std::optional<std::uint32_t> cell = cellKeyOf(latitude, longitude);
        if (!cell)
            return;
        for (const std::uint32_t i : cellRows_[*cell]) {
            const double distance =
                distanceNm(at, {positions_[i].latitude, positions_[i].longitude});
            if (distance <= nearestNm && (!nearest || distance < nearestNm) &&
                accept(database_.row(i))) {
                nearest = i;
                nearestNm = distance;
            }
        }
    };
    for (int ring = 0; ring <= 361 && (ring - 1) * nmPerRing <= nearestNm; ++ring) {
        if (ring == 0) {
            search(centreLatitude, centreLongitude);
            continue;
        }
        for (int k = -ring; k <= ring; ++k) {
            search(centreLatitude - ring, centreLongitude + k);
            search(centreLatitude + ring, centreLongitude + k);
        }
        for (int k = -ring + 1; k < ring; ++k) {
            search(centreLatitude + k, centreLongitude - ring);
            search(centreLatitude + k, centreLongitude + ring);
        }
    }
    return nearest;
}

double RowConverter::distanceNm(const Position& from, const Position& to) {
    // On a plane tangent to the globe at `from`: near enough within a few hundred miles.
    const double north = (to.latitude - from.latitude) * kNmPerDegree;
    const double east =
        (to.longitude - from.longitude) * kNmPerDegree * std::cos(from.latitude * kPi / 180);
    return std::hypot(north, east);
}

std::optional<RowConverter::Position> RowConverter::positionOf(std::string_view line) {
    std::size_t at = 0;
    nextWord(line, at); // the row code
    const std::optional<double> latitude = finiteNumber(nextWord(line, at));
    const std::optional<double> longitude = finiteNumber(nextWord(line, at));
    if (!latitude || !longitude)
        return std::nullopt;
    return Position{*latitude, *longitude};
}
