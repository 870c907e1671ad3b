#include "reference_merge.h"

#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/text_file.h"
#include "merge/database_check.h"
#include "merge/nav_data.h"
#include "merge/merge_job.h"
#include "scenery/nav_format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <sstream>

namespace {
double wholeDegrees(std::string_view coordinate) {
    const std::size_t dot = coordinate.rfind('.');
    const std::string part(coordinate.substr(0, dot));
    return std::strtod(part.c_str(), nullptr);
}

void coordinateTexts(std::string_view line, std::string_view& latitude,
                     std::string_view& longitude) {
    std::string_view* targets[] = {nullptr, &latitude, &longitude};
    latitude = longitude = {};
    std::size_t i = 0;
    for (std::string_view* target : targets) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (target != nullptr)
            *target = line.substr(start, i - start);
    }
}

bool hasRunwayName(int type) {
    return type >= 4 && type <= 12;
}

void upperCase(std::string& text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string_view withoutLineFeed(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

bool isWhiteSpaceOnly(std::string_view line) {
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// The lines of an 810 database that the new file's frame stands in for: the marker line
// ("I" or "A", blanks and a byte-order mark before it aside) when it is the first, blank
// lines and "99" rows.
bool givesWayToFrame(std::string_view line, std::optional<int> code, std::size_t number) {
    if (code == 99 || isWhiteSpaceOnly(line))
        return true;
    if (number != 1)
        return false;
    if (line.rfind("\xEF\xBB\xBF", 0) == 0)
        line.remove_prefix(3);
    std::string marker;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            marker += c;
    }
    return marker == "I" || marker == "A";
}

// A navaid row written in the columns of format 1100 and later: its identifier followed by
// the terminal area ENRT and a two-character region.
bool looksLike1100(const ReferenceRecord& row) {
    std::string terminal = row.name;
    upperCase(terminal);
    return terminal == "ENRT" && row.rwyName.size() == 2;
}

// ASCII written as UTF-16 without a byte-order mark: in the first 64 bytes, each character's
// NUL half always on the same side.
bool nulBesideEveryCharacter(const std::string& text) {
    const std::size_t pairs = std::min<std::size_t>(text.size(), 64) / 2;
    std::size_t nulFirst = 0, nulSecond = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        const char first = text[2 * i], second = text[2 * i + 1];
        if (first == '\0' && second != '\0')
            ++nulFirst;
        if (second == '\0' && first != '\0')
            ++nulSecond;
    }
    return pairs > 0 && (nulFirst == pairs || nulSecond == pairs);
}

// The number of a version line ("810 Version - ..."), or -1 when the line is none.
int versionOfLine(const std::string& line) {
    const std::size_t digits = line.find_first_not_of(" \t");
    if (digits == std::string::npos)
        return -1;
    const std::size_t blanks = line.find_first_not_of("0123456789", digits);
    if (blanks == digits || blanks == std::string::npos || blanks - digits > 9)
        return -1;
    const std::size_t word = line.find_first_not_of(" \t", blanks);
    if (word == blanks || word == std::string::npos)
        return -1;
    std::string found = line.substr(word, 7);
    upperCase(found);
    const std::size_t after = word + 7;
    if (found != "VERSION" ||
        (after < line.size() && std::isalnum(static_cast<unsigned char>(line[after]))))
        return -1;
    return std::stoi(line.substr(digits, blanks - digits));
}

DatabaseCheck checkDatabaseText(const std::string& text) {
    if (text.empty())
        return {DatabaseVerdict::Empty};
    if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0 ||
        nulBesideEveryCharacter(text))
        return {DatabaseVerdict::Utf16};
    if (text.find('\0') != std::string::npos)
        return {DatabaseVerdict::NulBytes};
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    if (!std::getline(lines, line))
        return {DatabaseVerdict::NoVersionLine};
    const int version = versionOfLine(line);
    if (version < 0)
        return {DatabaseVerdict::NoVersionLine};
    if (version != 810)
        return {DatabaseVerdict::OtherVersion, version};
    // After the version line: navaid rows (a leading row code of 2 to 13), "99" rows, blank
    // lines, and the others.
    int navaidRows = 0, others = 0;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t\v\f") == std::string::npos)
            continue;
        int code = 0;
        if (std::sscanf(line.c_str(), "%d", &code) == 1 && code >= 2 && code <= 13)
            ++navaidRows;
        else if (!(std::sscanf(line.c_str(), "%d", &code) == 1 && code == 99))
            ++others;
    }
    if (navaidRows == 0)
        return {DatabaseVerdict::NoNavaidRows, version};
    if (others > navaidRows)
        return {DatabaseVerdict::MostlyNotRows, version};
    return {DatabaseVerdict::Mergeable, version};
}
} // namespace

ReferenceRecord scanNavaidRow(std::string_view line) {
    ReferenceRecord record;
    record.line = std::string(line);
    std::vector<char> callsign(line.size() + 1), name(line.size() + 1), rwyName(line.size() + 1);
    std::sscanf(record.line.c_str(), "%d %*f %*f %*f %*d %*d %*f %s %s %s", &record.type,
                callsign.data(), name.data(), rwyName.data());
    record.callsign = callsign.data();
    record.name = name.data();
    record.rwyName = rwyName.data();
    return record;
}

ReferenceMerger::ReferenceMerger(const MergeScreen& screen, const std::string& databasePath,
                                 const std::vector<CustomAirport>& airports,
                                 const SettingCodes& codes)
    : screen_(screen), earthNavPath_(databasePath), codes_(codes) {
    for (const CustomAirport& airport : airports) {
        if (!airport.selected)
            continue;
        std::string text;
        if (const FileResult read = readTextFile(airport.navDatPath, text); !read) {
            showError("I can't open \"From\" file!\n" + describe(read.error()));
            continue;
        }
        loadCustomRecords(airport, text);
    }

    std::string text;
    if (const FileResult read = readTextFile(earthNavPath_, text); !read) {
        showError("I can't open \"To\" file!\n" + describe(read.error()));
        return;
    }
    const DatabaseCheck check = checkDatabaseText(text);
    if (check.verdict != DatabaseVerdict::Mergeable) {
        showError(refusalMessage(check, std::filesystem::path(earthNavPath_).filename().string()));
        return;
    }
    if (!hasRowsOf810(text) || !backUp())
        return;
    loadBaseRecords(text);
    baseReady_ = true;
}

bool ReferenceMerger::hasRowsOf810(std::string_view text) {
    std::size_t number = 0;
    bool found = false;
    forEachLine(text, [&](std::string_view line) {
        ++number;
        const std::optional<int> code = rowCode(line);
        if (found || !code || !isNavaidRowCode(*code) || !looksLike1100(scanNavaidRow(line)))
            return;
        found = true;
        showError(std::filesystem::path(earthNavPath_).filename().string() + " line " +
                  std::to_string(number) +
                  " does not have the columns of format 810, which its version line declares: " +
                  std::string(withoutLineFeed(line)) + "; nothing was changed.");
    });
    return !found;
}

bool ReferenceMerger::backUp() {
    startStage(1);
    showStatus("Writing .bak for ", earthNavPath_);
    const std::string backupPath = earthNavPath_ + ".bak";
    std::string readOnly;
    if (isReadOnlyFile(earthNavPath_))
        readOnly = earthNavPath_;
    else if (isReadOnlyFile(backupPath))
        readOnly = backupPath;
    const FileResult copied = readOnly.empty() ? copyFile(earthNavPath_, backupPath)
                                               : FileResult(FileError{readOnly, "read-only"});
    endStage();
    if (!readOnly.empty())
        showError(readOnly + " is read-only, so I can't replace it; nothing was changed.");
    else if (!copied)
        showError("I can't write \".bak\" file!\n" + describe(copied.error()));
    return static_cast<bool>(copied);
}

// A stage fills the bar once: its maximum is the total up to 65535 (1 for no work at all), and
// each position is the work done times the maximum over the total.
void ReferenceMerger::startStage(std::size_t total) {
    stageTotal_ = total;
    stageMaximum_ = total == 0 ? 1 : std::min<std::size_t>(total, 65535);
    stagePosition_ = 0;
    screen_.progress.setRange(0, static_cast<std::uint16_t>(stageMaximum_));
    screen_.progress.setPosition(0);
}

void ReferenceMerger::showDone(std::size_t done) {
    const std::size_t position = done * stageMaximum_ / stageTotal_;
    if (position != stagePosition_) {
        stagePosition_ = position;
        screen_.progress.setPosition(static_cast<int>(position));
    }
}

void ReferenceMerger::endStage() {
    if (stagePosition_ != stageMaximum_)
        screen_.progress.setPosition(static_cast<int>(stageMaximum_));
}

void ReferenceMerger::loadCustomRecords(const CustomAirport& airport, std::string_view text) {
    startStage(text.size());
    showStatus("Loading strings from ", airport.navDatPath);
    std::size_t done = 0;
    forEachLine(text, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        if (code && isNavaidRowCode(*code) && !isTaken(line)) {
            ReferenceRecord record = scanNavaidRow(line);
            record.sourcePath = airport.navDatPath;
            record.folderName = airport.folderName;
            customRecords_.push_back(std::move(record));
        }
        done += line.size();
        showDone(done);
    });
    endStage();
}

bool ReferenceMerger::isTaken(std::string_view line) const {
    const std::string_view text = withoutLineFeed(line);
    for (const ReferenceRecord& taken : customRecords_) {
        if (equalsIgnoringCase(withoutLineFeed(taken.line), text))
            return true;
    }
    return false;
}

void ReferenceMerger::loadBaseRecords(std::string_view text) {
    baseRecords_.reserve(text.size() / 50);
    startStage(text.size());
    showStatus("Loading strings from ", earthNavPath_);
    std::size_t done = 0;
    std::size_t number = 0;
    std::optional<std::size_t> lastHeader;
    forEachLine(text, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        ++number;
        if (code && isNavaidRowCode(*code)) {
            baseRecords_.push_back(scanNavaidRow(line));
        } else if (!givesWayToFrame(line, code, number)) {
            if (code == kHeaderRowCode)
                lastHeader = keptLines_.size();
            keptLines_.push_back({baseRecords_.size(), std::string(line)});
        }
        done += line.size();
        showDone(done);
    });
    endStage();
    // The last header row goes into the frame; earlier ones stay where they are.
    if (lastHeader) {
        headerLine_ = keptLines_[*lastHeader].text;
        keptLines_.erase(keptLines_.begin() + static_cast<std::ptrdiff_t>(*lastHeader));
    }
}

void ReferenceMerger::showStatus(std::string_view prefix, std::string_view text) {
    statusText_.assign(prefix);
    statusText_ += text;
    statusText_ += '\n';
    screen_.status.setText(statusText_);
}

void ReferenceMerger::showError(const std::string& text) {
    screen_.errors.showError(text, kErrorCaption);
}

int ReferenceMerger::isNear(std::string_view baseLine, std::string_view customLine) const {
    if (codes_.distanceRestriction != 1)
        return 1;
    std::string_view toLat, toLon, fromLat, fromLon;
    coordinateTexts(baseLine, toLat, toLon);
    coordinateTexts(customLine, fromLat, fromLon);
    if (wholeDegrees(toLat) != wholeDegrees(fromLat))
        return 0;
    if (wholeDegrees(toLon) != wholeDegrees(fromLon))
        return 0;
    return 1;
}

bool ReferenceMerger::isDropped(const ReferenceRecord& base) {
    const bool twoNameFields = hasRunwayName(base.type);
    for (const ReferenceRecord& custom : customRecords_) {
        if (isNear(base.line, custom.line) == 0 || custom.type != base.type)
            continue;
        const bool sameCallsign = equalsIgnoringCase(base.callsign, custom.callsign);
        const bool sameName = equalsIgnoringCase(base.name, custom.name);
        const bool sameRwyName = equalsIgnoringCase(base.rwyName, custom.rwyName);
        const bool allNamesEqual = sameName && (!twoNameFields || sameRwyName);
        const bool allNamesDiffer = !sameName && (!twoNameFields || !sameRwyName);

        bool replace, request;
        if (sameCallsign && allNamesEqual)
            return true;
        if (!sameCallsign && allNamesEqual) {
            replace = codes_.sameNameAction == kSameNameReplace;
            request = codes_.sameNameAction == kSameNameRequest;
        } else if (sameCallsign && allNamesDiffer) {
            replace = codes_.sameCallsignAction == kSameCallsignReplace;
            request = codes_.sameCallsignAction == kSameCallsignRequest;
        } else {
            continue;
        }

        if (replace)
            return true;
        if (request) {
            if (screen_.question.ask(custom.sourcePath, base.line, custom.line) == Answer::Replace)
                return true;
        }
    }
    return false;
}

int ReferenceMerger::merge() {
    if (!baseReady_)
        return -1;

    std::string output = "I\n" + headerLine_ + "\n";
    startStage(baseRecords_.size());
    showStatus("Proccesing: ", "");
    std::size_t done = 0;
    auto kept = keptLines_.begin();
    const auto writeKeptLines = [&] {
        for (; kept != keptLines_.end() && kept->rowsBefore == done; ++kept)
            output += kept->text;
    };
    for (const ReferenceRecord& base : baseRecords_) {
        writeKeptLines();
        showStatus("Proccesing: ", base.line);
        if (!isDropped(base))
            output += base.line;
        showDone(++done);
    }
    writeKeptLines();
    endStage();
    output += "\n";
    for (ReferenceRecord& custom : customRecords_) {
        upperCase(custom.line);
        output += custom.line;
        output += "\n";
    }
    output += "\n99\n";

    AtomicFileWriter file(earthNavPath_);
    file.write(output);
    const FileResult written = file.commit();
    if (written)
        return 0;
    showError("I can't write \"To\" file!\n" + describe(written.error()));
    return -1;
}

template <>
int mergeOnce<ProgramMerge>(const MergeScreen& screen, const std::string& databasePath,
                            const std::vector<CustomAirport>& airports, const SettingCodes& codes) {
    const MergeRequest request{
        databasePath, pickedAirports(airports),
        mergeOptionsOf(codes.sameNameAction, codes.sameCallsignAction, codes.distanceRestriction)};
    return runMerge(request, screen).end == MergeEnd::Written ? 0 : -1;
}

template <>
int mergeOnce<ReferenceMerger>(const MergeScreen& screen, const std::string& databasePath,
                               const std::vector<CustomAirport>& airports,
                               const SettingCodes& codes) {
    ReferenceMerger job(screen, databasePath, airports, codes);
    return job.merge();
}
