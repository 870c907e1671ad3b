#include "reference_merge.h"

#include "base/file_ops.h"
#include "base/text_file.h"
#include "merge/nav_data.h"
#include "merge/nav_merger.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr const char* kErrorCaption = "Error!";

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
        if (airport.selected != 1)
            continue;
        std::string text;
        std::size_t fileSize = 0;
        if (!readTextFile(airport.navDatPath, text, &fileSize)) {
            showError("I can't open \"From\" file!");
            continue;
        }
        loadCustomRecords(airport, text, fileSize);
    }

    std::string text;
    std::size_t fileSize = 0;
    if (!readTextFile(earthNavPath_, text, &fileSize)) {
        showError("I can't open \"To\" file!");
        return;
    }
    if (!backUp())
        return;
    loadBaseRecords(text, fileSize);
    baseReady_ = true;
}

bool ReferenceMerger::backUp() {
    screen_.progress.setRange(0, 1);
    screen_.progress.setStep(1);
    screen_.progress.setPosition(0);
    showStatus("Writing .bak for ", earthNavPath_);
    const bool copied = copyFile(earthNavPath_, earthNavPath_ + ".bak");
    screen_.progress.step();
    if (!copied)
        showError("I can't write \".bak\" file!");
    return copied;
}

void ReferenceMerger::startProgress(std::size_t fileSize) {
    screen_.progress.setRange(0, static_cast<std::uint16_t>(fileSize / 2));
    screen_.progress.setStep(1);
    screen_.progress.setPosition(0);
}

void ReferenceMerger::loadCustomRecords(const CustomAirport& airport, std::string_view text,
                                        std::size_t fileSize) {
    startProgress(fileSize);
    showStatus("Loading strings from ", airport.navDatPath);
    forEachLine(text, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        if (code && isNavaidRowCode(*code)) {
            ReferenceRecord record = scanNavaidRow(line);
            record.sourcePath = airport.navDatPath;
            record.folderName = airport.folderName;
            customRecords_.push_back(std::move(record));
        }
        screen_.progress.step();
    });
}

void ReferenceMerger::loadBaseRecords(std::string_view text, std::size_t fileSize) {
    baseRecords_.reserve(fileSize / 50);
    startProgress(fileSize);
    showStatus("Loading strings from ", earthNavPath_);
    forEachLine(text, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        if (code == kHeaderRowCode)
            headerLine_ = std::string(line);
        else if (code && isNavaidRowCode(*code))
            baseRecords_.push_back(scanNavaidRow(line));
        screen_.progress.step();
    });
}

void ReferenceMerger::showStatus(std::string_view prefix, std::string_view text) {
    statusText_.assign(prefix);
    statusText_ += text;
    statusText_ += '\n';
    screen_.status.setText(statusText_);
}

void ReferenceMerger::showError(const char* text) {
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
            if (screen_.question.ask(custom.sourcePath, base.line, custom.line) == kAnswerReplace)
                return true;
        }
    }
    return false;
}

int ReferenceMerger::merge() {
    if (!baseReady_)
        return -1;

    std::string output = "I\n" + headerLine_ + "\n";
    screen_.progress.setRange(0, static_cast<std::uint16_t>(baseRecords_.size()));
    screen_.progress.setStep(1);
    screen_.progress.setPosition(0);
    showStatus("Proccesing: ", "");
    for (const ReferenceRecord& base : baseRecords_) {
        showStatus("Proccesing: ", base.line);
        if (!isDropped(base))
            output += base.line;
        screen_.progress.step();
    }
    output += "\n";
    for (ReferenceRecord& custom : customRecords_) {
        upperCase(custom.line);
        output += custom.line;
        output += "\n";
    }
    output += "\n99\n";

    const std::string newPath = earthNavPath_ + ".new";
    TextFileWriter file;
    if (file.open(newPath)) {
        file.write(output);
        if (file.close() && replaceFile(newPath, earthNavPath_))
            return 0;
        std::remove(newPath.c_str());
    }
    showError("I can't write \"To\" file!");
    return -1;
}

template <>
int mergeOnce<NavMerger>(const MergeScreen& screen, const std::string& databasePath,
                         const std::vector<CustomAirport>& airports, const SettingCodes& codes) {
    NavMerger job(
        screen, databasePath, airports,
        mergeOptionsOf(codes.sameNameAction, codes.sameCallsignAction, codes.distanceRestriction));
    return job.merge() == MergeEnd::Written ? 0 : -1;
}

template <>
int mergeOnce<ReferenceMerger>(const MergeScreen& screen, const std::string& databasePath,
                               const std::vector<CustomAirport>& airports,
                               const SettingCodes& codes) {
    ReferenceMerger job(screen, databasePath, airports, codes);
    return job.merge();
}
