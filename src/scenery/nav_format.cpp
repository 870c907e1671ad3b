#include "scenery/nav_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
std::size_t wordCount(std::string_view text) {
    std::size_t count = 0, at = 0;
    while (!nextWord(text, at).empty())
        ++count;
    return count;
}
} // namespace

std::optional<NavFormat> navFormatOf(int version) {
    for (NavFormat format : {NavFormat::V810, NavFormat::V1100, NavFormat::V1150, NavFormat::V1200})
        if (versionOf(format) == version)
            return format;
    return std::nullopt;
}

std::string formatName(NavFormat format) {
    switch (format) {
    case NavFormat::V810:
        return "X-Plane 8 to 10 format 810";
    case NavFormat::V1100:
        return "X-Plane 11 format 1100";
    case NavFormat::V1150:
        return "X-Plane 11.50 format 1150";
    case NavFormat::V1200:
        return "X-Plane 12 format 1200";
    }
    return {};
}

bool isMarkerLine(std::string_view line) {
    const std::string_view marker = trimmed(withoutByteOrderMark(line));
    return marker == "I" || marker == "A";
}

std::optional<int> declaredVersion(std::string_view fileStart) {
    constexpr std::size_t kLongestNumber = 9;
    const std::size_t firstEnd = fileStart.find_first_of("\r\n");
    if (firstEnd == std::string_view::npos)
        return std::nullopt;
    std::string_view line = fileStart.substr(firstEnd + 1);
    if (fileStart.substr(firstEnd, 2) == "\r\n")
        line.remove_prefix(1);
    line = line.substr(0, line.find_first_of("\r\n"));

    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    const std::size_t digits = at;
    int version = 0;
    for (; at < line.size() && isDigit(line[at]); ++at) {
        if (at - digits == kLongestNumber)
            return std::nullopt;
        version = version * 10 + (line[at] - '0');
    }
    const std::size_t blanks = at;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    constexpr std::string_view kWord = "VERSION";
    if (blanks == digits || at == blanks || line.size() - at < kWord.size())
        return std::nullopt;
    for (std::size_t k = 0; k < kWord.size(); ++k) {
        if (upperAscii(line[at + k]) != kWord[k])
            return std::nullopt;
    }
    at += kWord.size();
    const auto isLetterOrDigit = [](char c) {
        return isDigit(c) || (upperAscii(c) >= 'A' && upperAscii(c) <= 'Z');
    };
    if (at < line.size() && isLetterOrDigit(line[at]))
        return std::nullopt;
    return version;
}

bool hasColumnsOf(NavFormat format, const NavaidWords& row) {
    if (!hasTerminalAndRegion(format))
        return !(equalsIgnoringCase(row.name, kEnRouteTerminal) && row.rwyName.size() == 2);
    return !row.callsign.empty() && !row.terminal.empty() && row.region.size() == 2 &&
           !row.name.empty() && (!isRunwayEquipment(row.type) || wordCount(row.name) >= 2);
}

bool sameWordsIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t atA = 0, atB = 0;
    for (;;) {
        const std::string_view wordA = nextWord(a, atA);
        const std::string_view wordB = nextWord(b, atB);
        if (!equalsIgnoringCase(wordA, wordB))
            return false;
        if (wordA.empty())
            return true;
    }
}

Relation relationOf(NavFormat format, const NavaidWords& base, const NavaidWords& custom) {
    if (hasTerminalAndRegion(format) && !(equalsIgnoringCase(base.terminal, custom.terminal) &&
                                          equalsIgnoringCase(base.region, custom.region)))
        return Relation::None;
    const bool twoNameFields = nameIncludesRunway(format, base.type);
    const bool sameCallsign = equalsIgnoringCase(base.callsign, custom.callsign);
    const bool sameName = sameWordsIgnoringCase(base.name, custom.name);
    const bool sameRwyName = equalsIgnoringCase(base.rwyName, custom.rwyName);
    const bool allNamesEqual = sameName && (!twoNameFields || sameRwyName);
    const bool allNamesDiffer = !sameName && (!twoNameFields || !sameRwyName);
    if (allNamesEqual)
        return sameCallsign ? Relation::Duplicate : Relation::NameConflict;
    if (sameCallsign && allNamesDiffer)
        return Relation::CallsignConflict;
    return Relation::None;
}

bool isSameNavaid(const NavaidWords& a, const NavaidWords& b) {
    if (a.type != b.type || !equalsIgnoringCase(a.callsign, b.callsign) ||
        !equalsIgnoringCase(a.terminal, b.terminal) || !equalsIgnoringCase(a.region, b.region))
        return false;
    if (!isMarker(a.type))
        return sameWordsIgnoringCase(a.name, b.name);
    std::size_t atA = 0, atB = 0;
    return equalsIgnoringCase(nextWord(a.name, atA), nextWord(b.name, atB));
}

std::optional<std::string> bearingWithMagneticCourse(std::string_view trueCourse,
                                                     double variation) {
    const std::size_t point = trueCourse.find('.');
    const std::string_view whole = trueCourse.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : trueCourse.substr(point + 1);
    if (whole.empty() || whole.size() > 3)
        return std::nullopt;
    int degrees = 0;
    for (char c : whole) {
        if (!isDigit(c))
            return std::nullopt;
        degrees = degrees * 10 + (c - '0');
    }
    double fraction = 0, scale = 0.1;
    for (char c : decimals) {
        if (!isDigit(c))
            return std::nullopt;
        fraction += (c - '0') * scale;
        scale /= 10;
    }
    if (degrees >= 360)
        return std::nullopt;

    double magnetic = std::fmod(degrees + fraction - variation, 360.0);
    if (magnetic < 0)
        magnetic += 360;
    long rounded = std::lround(magnetic);
    if (rounded == 360)
        rounded = 0;
    std::string field = std::to_string(rounded * 360 + degrees);
    if (point != std::string_view::npos) {
        field += '.';
        field += decimals;
    }
    return field;
}

NavFormat addOnRowFormat(std::optional<int> fileVersion) {
    const std::optional<NavFormat> format = fileVersion ? navFormatOf(*fileVersion) : std::nullopt;
    return format.value_or(NavFormat::V810);
}

std::optional<std::string> addOnFileRefusal(NavFormat database, std::optional<int> fileVersion,
                                            bool rowsFit810) {
    const auto newer = [&] {
        return "their file's format " + std::to_string(*fileVersion) +
               " is newer than the database's format " + std::to_string(versionOf(database));
    };
    if (database == NavFormat::V810) {
        if (fileVersion && *fileVersion > versionOf(NavFormat::V810))
            return newer();
        return std::nullopt;
    }
    if (!fileVersion) {
        if (rowsFit810)
            return std::nullopt;
        return "their file has no version line, so their format is not known";
    }
    const std::optional<NavFormat> format = navFormatOf(*fileVersion);
    if (!format)
        return "their file's version " + std::to_string(*fileVersion) +
               " is not one that Quillet knows";
    if (*format > database)
        return newer();
    return std::nullopt;
}

std::optional<std::string> columnFault(NavFormat format, std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    for (std::string_view word = nextWord(line, at); !word.empty(); word = nextWord(line, at))
        words.push_back(word);
    if (line.find('\0') != std::string_view::npos)
        return std::string("it holds a NUL byte");
    if (words.empty() || !std::all_of(words[0].begin(), words[0].end(), isDigit))
        return "its row code \"" + std::string(words.empty() ? "" : words[0]) +
               "\" is not a whole number";
    int code = 0;
    std::from_chars(words[0].data(), words[0].data() + words[0].size(), code);
    // The row code, six numbers, the identifier and a name; 1100 adds the terminal area and
    // region, runway equipment a runway (and in 810 its airport) before the type word.
    std::size_t least = 9;
    if (hasTerminalAndRegion(format))
        least += 2;
    if (isRunwayEquipment(code))
        least += hasTerminalAndRegion(format) ? 1 : 2;
    if (words.size() < least)
        return "it has " + std::to_string(words.size()) + " columns, and a row of code " +
               std::to_string(code) + " in format " + std::to_string(versionOf(format)) +
               " has at least " + std::to_string(least);
    struct Column {
        const char* name;
        bool whole;
        double limit; // 0: no limit
    };
    static constexpr Column kNumbers[] = {{"latitude", false, 90}, {"longitude", false, 180},
                                          {"elevation", true, 0},  {"frequency", true, 0},
                                          {"range", true, 0},      {"seventh column", false, 0}};
    for (std::size_t i = 0; i < std::size(kNumbers); ++i) {
        const Column& column = kNumbers[i];
        const std::string_view word = words[i + 1];
        if (!(column.whole ? isWholeNumber(word) : isPlainDecimal(word)))
            return "its " + std::string(column.name) + " \"" + std::string(word) + "\" is not " +
                   (column.whole ? "a whole number" : "a number");
        if (column.limit == 0)
            continue;
        const std::optional<double> exact = plainDecimal(word); // none beyond 15 digits
        const double value = exact ? *exact : std::atof(std::string(word).c_str());
        if (std::abs(value) > column.limit)
            return "its " + std::string(column.name) + " " + std::string(word) + " is not from -" +
                   std::to_string(static_cast<int>(column.limit)) + " to " +
                   std::to_string(static_cast<int>(column.limit));
    }
    return std::nullopt;
}

std::string spelledNameWord(std::string_view word) {
    for (std::string_view spelled : {"ILS-cat-I", "ILS-cat-II", "ILS-cat-III"})
        if (equalsIgnoringCase(word, spelled))
            return std::string(spelled);
    return upperCased(word);
}

bool isIlsDmeName(std::string_view name) {
    const std::string_view trimmedName = trimmed(name);
    return trimmedName.size() >= kIlsDmeWord.size() &&
           equalsIgnoringCase(trimmedName.substr(trimmedName.size() - kIlsDmeWord.size()),
                              kIlsDmeWord) &&
           (trimmedName.size() == kIlsDmeWord.size() ||
            isBlank(trimmedName[trimmedName.size() - kIlsDmeWord.size() - 1]));
}

std::string ilsDmeName(std::string_view airportName) {
    return std::string(trimmed(airportName)) + " " + std::string(kIlsDmeWord);
}

std::string_view airportNameOfIlsDme(std::string_view name) {
    const std::string_view trimmedName = trimmed(name);
    return trimmed(trimmedName.substr(0, trimmedName.size() - kIlsDmeWord.size()));
}

std::optional<double> variationOfBearing(std::string_view field) {
    const std::optional<double> value = plainDecimal(field);
    if (!value || *value < 0)
        return std::nullopt;
    const double magnetic = std::floor(*value / 360);
    const double variation = std::fmod((*value - magnetic * 360) - magnetic, 360.0);
    return variation >= 180 ? variation - 360 : variation < -180 ? variation + 360 : variation;
}

std::optional<double> dataCycleYear(std::string_view versionLine) {
    constexpr std::string_view kWords = "data cycle ";
    const std::size_t at = versionLine.find(kWords);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view cycle = versionLine.substr(at + kWords.size(), 4);
    if (cycle.size() != 4 || !std::all_of(cycle.begin(), cycle.end(), isDigit))
        return std::nullopt;
    const int year = 2000 + (cycle[0] - '0') * 10 + (cycle[1] - '0');
    const int number = (cycle[2] - '0') * 10 + (cycle[3] - '0');
    if (number < 1 || number > 14)
        return std::nullopt;
    constexpr double kCycleDays = 28, kYearDays = 365.25;
    return year + (number - 0.5) * kCycleDays / kYearDays;
}
