// Fuzz target: the whole merge job against the reference merge. Both run on the
// same files in the same folder, one after the other, answering the same questions; they
// must return the same result, leave the same database, backup and files, ask the same
// questions and show the same progress, status texts and errors. A difference aborts, so
// libFuzzer keeps the input. Inputs that the reference merge does not model (a database of a
// later format, an add-on of a later version) run through the merge job alone, as a preview
// and as a merge, for crashes and sanitizer findings. Into a database of 1100 or later, what
// they write must keep the database's lines as they were, but the rows the report drops, and
// add the report's rows before the final "99" row, in row-code order, each with its format's
// columns, none the twin of another, none the glideslope, marker or ILS DME of a localizer
// that is neither in the database nor added; a broken rule aborts too.
//
// The input: a head of 12 bytes, then the database's bytes, then one section for each
// add-on airport (at most 8), each starting with "@@@" and a flag byte:
//   head[0], head[1]  the same-NAME and same-CALLSIGN action codes, from kActionCodes
//   head[2]           the distance restriction: 1, 0 or 2
//   head[3]           the database: present, missing, present with an older backup,
//                     present with a folder in the backup's place, or a folder itself
//   head[4..11]       the answers to the questions, two bits each: Replace, Skip, Skip,
//                     Skip; Skip once they run out
//   flag              selected with its nav.dat (0, 1), not selected (2, 4), selected without
//                     a nav.dat (3), a folder in the nav.dat's place (5), taken modulo 6;
//                     a section without one is selected

#include "merge/merge_job.h"
#include "scenery/nav_format.h"

#include "recording_screen.h"
#include "reference_merge.h"
#include "printable.h"
#include "test_files.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHeadSize = 12;
constexpr std::size_t kMostAirports = 8;
constexpr std::string_view kSectionMark = "@@@";

const int kActionCodes[] = {kSameNameSkip,
                            kSameNameRequest,
                            kSameNameReplace,
                            kSameCallsignSkip,
                            kSameCallsignRequest,
                            kSameCallsignReplace,
                            0,
                            -1017};
const int kRestrictions[] = {1, 0, 2};
const Answer kAnswers[] = {Answer::Replace, Answer::Skip, Answer::Skip, Answer::Skip};

enum class DatabaseState { Present, Missing, OlderBackup, FolderAsBackup, Folder, Count };
enum class AirportState { Selected, SelectedToo, NotSelected, NoFile, MarkedTwo, Folder, Count };

struct Airport {
    AirportState state = AirportState::Selected;
    std::string navDat;
};

struct Inputs {
    SettingCodes codes;
    DatabaseState database = DatabaseState::Present;
    std::vector<Answer> answers;
    std::string databaseText;
    std::vector<Airport> airports;
};

Inputs decode(std::string_view input) {
    std::uint8_t head[kHeadSize] = {};
    const std::size_t headSize = std::min(input.size(), kHeadSize);
    std::copy_n(input.begin(), headSize, head);
    input.remove_prefix(headSize);

    Inputs inputs;
    inputs.codes.sameNameAction = kActionCodes[head[0] % std::size(kActionCodes)];
    inputs.codes.sameCallsignAction = kActionCodes[head[1] % std::size(kActionCodes)];
    inputs.codes.distanceRestriction = kRestrictions[head[2] % std::size(kRestrictions)];
    inputs.database = static_cast<DatabaseState>(head[3] % static_cast<int>(DatabaseState::Count));
    for (std::size_t i = 4; i < kHeadSize; ++i) {
        for (int shift = 0; shift < 8; shift += 2)
            inputs.answers.push_back(kAnswers[(head[i] >> shift) & 3]);
    }

    std::size_t mark = input.find(kSectionMark);
    inputs.databaseText = std::string(input.substr(0, mark));
    while (mark != std::string_view::npos && inputs.airports.size() < kMostAirports) {
        input.remove_prefix(mark + kSectionMark.size());
        mark = input.find(kSectionMark);
        std::string_view section = input.substr(0, mark);
        Airport& airport = inputs.airports.emplace_back();
        if (!section.empty()) {
            airport.state = static_cast<AirportState>(static_cast<std::uint8_t>(section[0]) %
                                                      static_cast<int>(AirportState::Count));
            section.remove_prefix(1);
        }
        airport.navDat = std::string(section);
    }
    return inputs;
}

// What one job did: the files it left and everything it showed.
struct Outcome {
    int result = 0;
    std::vector<std::string> files;
    std::vector<std::string> events, questions, errors;
};

// Every run works in this folder, emptied before each job.
const TempDir& workDir() {
    static const TempDir dir;
    return dir;
}

void emptyWorkDir() {
    for (const fs::directory_entry& entry : fs::directory_iterator(workDir().path()))
        fs::remove_all(entry.path());
}

// Every file and folder in the work folder, with each file's bytes, one entry each.
std::vector<std::string> filesLeft() {
    std::vector<std::string> files;
    for (const auto& [path, contents] : folderContents(workDir().path()))
        files.push_back(path + ": " + contents.bytes);
    return files;
}

std::string databasePath() {
    return workDir().file("earth_nav.dat");
}

// Empties the work folder and writes the input's database and add-on files there; returns
// the airports, in listing order.
std::vector<CustomAirport> writeJobFiles(const Inputs& inputs) {
    emptyWorkDir();
    const std::string database = databasePath();
    switch (inputs.database) {
    case DatabaseState::Missing:
        break;
    case DatabaseState::Folder:
        fs::create_directory(database);
        break;
    case DatabaseState::OlderBackup:
        writeBytes(database + ".bak", "I\n810 Version - an older backup\n99\n");
        writeBytes(database, inputs.databaseText);
        break;
    case DatabaseState::FolderAsBackup:
        fs::create_directory(database + ".bak");
        writeBytes(database, inputs.databaseText);
        break;
    default:
        writeBytes(database, inputs.databaseText);
        break;
    }

    std::vector<CustomAirport> airports;
    for (std::size_t i = 0; i < inputs.airports.size(); ++i) {
        const Airport& airport = inputs.airports[i];
        const std::string folder = "Airport" + std::to_string(i);
        const std::string navDat = workDir().file(folder + "/nav.dat");
        if (airport.state == AirportState::Folder)
            fs::create_directories(navDat);
        else if (airport.state != AirportState::NoFile)
            writeBytes(navDat, airport.navDat);
        const bool selected =
            airport.state != AirportState::NotSelected && airport.state != AirportState::MarkedTwo;
        airports.push_back({navDat, folder, selected});
    }
    return airports;
}

template <typename Job> Outcome run(const Inputs& inputs) {
    const std::vector<CustomAirport> airports = writeJobFiles(inputs);
    RecordingScreen screen;
    screen.answers.assign(inputs.answers.begin(), inputs.answers.end());
    Outcome outcome;
    outcome.result = mergeOnce<Job>(screen.screen(), databasePath(), airports, inputs.codes);
    outcome.files = filesLeft();
    outcome.events = std::move(screen.events);
    for (const RecordingScreen::Question& q : screen.questions)
        outcome.questions.push_back(q.sourcePath + " | " + q.baseLine + " | " + q.customLine);
    outcome.errors = std::move(screen.errors);
    return outcome;
}

void compare(const char* what, const std::vector<std::string>& expected,
             const std::vector<std::string>& actual) {
    if (expected == actual)
        return;
    std::size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i])
        ++i;
    std::fprintf(stderr, "merge job: %s differ at entry %zu (%zu and %zu entries)\n", what, i,
                 expected.size(), actual.size());
    const std::string none = "(none)";
    const std::string& left = i < expected.size() ? expected[i] : none;
    const std::string& right = i < actual.size() ? actual[i] : none;
    // Both from the start of the line where they part.
    std::size_t at = 0;
    while (at < left.size() && at < right.size() && left[at] == right[at])
        ++at;
    const std::size_t lineFeed = at == 0 ? std::string::npos : left.rfind('\n', at - 1);
    const std::size_t from = lineFeed == std::string::npos ? 0 : lineFeed + 1;
    std::fprintf(stderr, "  parting at byte %zu\n  reference: %s\n  merge job: %s\n", at,
                 printable(std::string_view(left).substr(from, 240)).c_str(),
                 printable(std::string_view(right).substr(from, 240)).c_str());
    std::abort();
}

// The reference merge knows format 810 alone: not a database that declares a later format
// Quillet merges into, nor an add-on file that declares a version above 810, whose rows
// the merge job leaves out. The format tests check what it does with those.
bool referenceKnows(const Inputs& inputs) {
    const bool databaseWritten =
        inputs.database != DatabaseState::Missing && inputs.database != DatabaseState::Folder;
    const std::optional<int> databaseVersion = declaredVersion(inputs.databaseText);
    if (databaseWritten && databaseVersion && navFormatOf(*databaseVersion) &&
        *databaseVersion != versionOf(NavFormat::V810))
        return false;
    for (const Airport& airport : inputs.airports) {
        const std::optional<int> version = declaredVersion(airport.navDat);
        if (version && *version > versionOf(NavFormat::V810))
            return false;
    }
    return true;
}

// ---- What a merge into a database of 1100 or later must write, checked without the
// program's own readers.

// The lines of a text, each with its line end. Databases of 1100 and later are written back
// line by line as they were, and in them only a line feed ends a line.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

std::string_view withoutEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// Whether a database line is written as it was: byte for byte, but that a last line without a
// line end may take one, when rows are added after it.
bool writtenAsItWas(std::string_view line, std::string_view written) {
    if (written == line)
        return true;
    const std::string bare(line);
    return !line.empty() && line.back() != '\n' &&
           (written == bare + "\n" || written == bare + "\r\n");
}

// The words of a line, parted by white space.
std::vector<std::string_view> wordsOf(std::string_view line) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::vector<std::string_view> words;
    std::size_t at = 0;
    for (;;) {
        while (at < line.size() && blank(line[at]))
            ++at;
        if (at == line.size())
            return words;
        const std::size_t start = at;
        while (at < line.size() && !blank(line[at]))
            ++at;
        words.push_back(line.substr(start, at - start));
    }
}

// The leading integer of a line, its row code; none when it has none.
std::optional<long> rowCodeOf(std::string_view line) {
    const std::string text(line);
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str())
        return std::nullopt;
    return code;
}

bool isNavaidRow(std::string_view line) {
    const std::optional<long> code = rowCodeOf(line);
    return code && *code >= 2 && *code <= 13;
}

std::string upperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// An optional sign, then digits with at most one point among or after them (whole: no point).
bool isNumberWord(std::string_view word, bool whole) {
    if (!word.empty() && (word[0] == '+' || word[0] == '-'))
        word.remove_prefix(1);
    bool digit = false, point = false;
    for (char c : word) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !whole && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

bool isDecimalWithin(std::string_view word, double limit) {
    return isNumberWord(word, false) &&
           std::abs(std::strtod(std::string(word).c_str(), nullptr)) <= limit;
}

// The column an added row lacks; none when it has the columns of 1100 and later: a row code of
// 2 to 13, latitude and longitude, elevation, frequency and range as whole numbers, a seventh
// number, identifier, terminal area, a region of two characters, and a name (runway
// equipment: a runway and a type at least).
std::optional<std::string> missingColumn(std::string_view row) {
    const std::vector<std::string_view> words = wordsOf(row);
    if (words.empty() ||
        !std::all_of(words[0].begin(), words[0].end(), [](char c) { return c >= '0' && c <= '9'; }))
        return "a row code of digits";
    const long code = std::strtol(std::string(words[0]).c_str(), nullptr, 10);
    if (code < 2 || code > 13)
        return "a row code of 2 to 13";
    const bool runwayEquipment = code >= 4 && code <= 9;
    if (words.size() < (runwayEquipment ? 12u : 11u))
        return runwayEquipment ? "a runway and a type after the region" : "a name after the region";
    if (!isDecimalWithin(words[1], 90))
        return "a latitude of -90 to 90";
    if (!isDecimalWithin(words[2], 180))
        return "a longitude of -180 to 180";
    for (std::size_t i = 3; i <= 5; ++i) {
        if (!isNumberWord(words[i], true))
            return "whole numbers for elevation, frequency and range";
    }
    if (!isNumberWord(words[6], false))
        return "a number in the seventh column";
    if (words[9].size() != 2)
        return "a region of two characters";
    return std::nullopt;
}

// Which navaid an added row is, to find twins: row code, identifier, terminal area, region and
// the name's words (a marker's runway alone), upper-cased.
std::string twinKey(const std::vector<std::string_view>& words) {
    const long code = std::strtol(std::string(words[0]).c_str(), nullptr, 10);
    const std::size_t nameEnd = code >= 7 && code <= 9 ? 11 : words.size();
    std::string key = std::to_string(code);
    for (std::size_t i = 7; i < nameEnd; ++i)
        key += ' ' + upperCased(words[i]);
    return key;
}

// A localizer's identifier and terminal area, or those of the localizer a row belongs to.
std::string localizerKey(const std::vector<std::string_view>& words) {
    return upperCased(words[7]) + ' ' + upperCased(words[8]);
}

bool isLocalizerRow(const std::vector<std::string_view>& words) {
    const std::optional<long> code = rowCodeOf(words[0]);
    return words.size() > 8 && (code == 4 || code == 5);
}

// Glideslopes, markers and ILS DMEs belong to a localizer.
bool needsLocalizer(const std::vector<std::string_view>& words) {
    const long code = std::strtol(std::string(words[0]).c_str(), nullptr, 10);
    const bool ilsDme = (code == 12 || code == 13) && upperCased(words[8]) != "ENRT" &&
                        upperCased(words.back()) == "DME-ILS";
    return code == 6 || (code >= 7 && code <= 9) || ilsDme;
}

[[noreturn]] void broken(const char* job, const std::string& what, std::string_view line,
                         std::string_view other = {}) {
    std::fprintf(stderr, "merge job: the %s's new database differs from what a merge writes: %s\n",
                 job, what.c_str());
    std::fprintf(stderr, "  line: %s\n", printable(line).c_str());
    if (!other.empty())
        std::fprintf(stderr, "  and:  %s\n", printable(other).c_str());
    std::abort();
}

// Checks what a merge or preview (job) wrote in place of a database of 1100 or later.
void checkMerged(const char* job, std::string_view databaseText, std::string_view mergedText,
                 const MergeReport& report) {
    const std::vector<std::string_view> database = linesOf(databaseText);
    const std::vector<std::string_view> merged = linesOf(mergedText);
    for (std::size_t i = 0; i < 2 && i < database.size(); ++i) {
        if (i >= merged.size() || !writtenAsItWas(database[i], merged[i]))
            broken(job,
                   i == 0 ? "its first line is not the database's"
                          : "its version line is not the database's",
                   database[i], i < merged.size() ? merged[i] : "(none)");
    }

    // The database's lines but those dropped, which the report lists in database order.
    std::vector<std::string_view> kept;
    std::size_t dropped = 0;
    for (std::string_view line : database) {
        if (dropped < report.dropped.size() && withoutEnd(line) == report.dropped[dropped].line) {
            if (!isNavaidRow(line))
                broken(job, "the report drops a line that is no navaid row", line);
            ++dropped;
            continue;
        }
        kept.push_back(line);
    }
    if (dropped < report.dropped.size())
        broken(job, "the report drops a line that is not in the database, or not in its order",
               report.dropped[dropped].line);
    if (merged.size() < kept.size())
        broken(job, "it has fewer lines than the database keeps", mergedText.substr(0, 240));

    // The kept lines before the final 99 row, the added rows, then the final 99 row and the rest.
    std::size_t finalEnd = kept.size();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (rowCodeOf(kept[i]) == 99)
            finalEnd = i;
    }
    const std::size_t addedCount = merged.size() - kept.size();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::size_t at = i < finalEnd ? i : i + addedCount;
        if (!writtenAsItWas(kept[i], merged[at]))
            broken(job,
                   "database line " + std::to_string(i + 1) +
                       " of those kept is not written as it was, in its place (" +
                       (i < finalEnd ? "before" : "from") + " the final 99 row)",
                   kept[i], merged[at]);
    }
    std::vector<std::string_view> added;
    for (std::size_t i = finalEnd; i < finalEnd + addedCount; ++i)
        added.push_back(withoutEnd(merged[i]));

    std::vector<std::string_view> written = added, reported;
    for (const AddedLine& line : report.added)
        reported.push_back(line.line);
    std::sort(written.begin(), written.end());
    std::sort(reported.begin(), reported.end());
    const auto [notWritten, notReported] =
        std::mismatch(reported.begin(), reported.end(), written.begin(), written.end());
    if (notWritten != reported.end() || notReported != written.end())
        broken(
            job,
            "its new lines are not the report's added rows (first differing, sorted: report, file)",
            notWritten != reported.end() ? *notWritten : "(none)",
            notReported != written.end() ? *notReported : "(none)");

    // A database localizer whose columns do not fit is read one way here and another by the
    // merge (as sscanf reads it): which localizers the database holds is then not known.
    std::set<std::string> localizers;
    bool localizersKnown = true;
    for (std::string_view line : database) {
        const std::vector<std::string_view> words = wordsOf(line);
        if (words.empty() || !isLocalizerRow(words))
            continue;
        localizers.insert(localizerKey(words));
        localizersKnown = localizersKnown && !missingColumn(withoutEnd(line));
    }
    std::map<std::string, std::string_view> twins;
    long lastCode = 0;
    for (std::string_view row : added) {
        if (const std::optional<std::string> column = missingColumn(row))
            broken(job, "an added row lacks " + *column, row);
        const std::vector<std::string_view> words = wordsOf(row);
        if (isLocalizerRow(words))
            localizers.insert(localizerKey(words));
        const auto [twin, first] = twins.emplace(twinKey(words), row);
        if (!first)
            broken(job, "an added row is the twin of another added row", twin->second, row);
        const long code = *rowCodeOf(row);
        if (code < lastCode)
            broken(job, "an added row comes after one of a higher row code", row);
        lastCode = code;
    }
    for (std::string_view row : added) {
        const std::vector<std::string_view> words = wordsOf(row);
        if (localizersKnown && needsLocalizer(words) && !localizers.count(localizerKey(words)))
            broken(job, "an added row's localizer is neither in the database nor added", row);
    }
}

// The program's merge or preview, with the input's settings and answers.
MergeOutcome runProgram(const Inputs& inputs, JobPurpose purpose) {
    const std::vector<CustomAirport> airports = writeJobFiles(inputs);
    RecordingScreen screen;
    screen.answers.assign(inputs.answers.begin(), inputs.answers.end());
    const SettingCodes& codes = inputs.codes;
    const MergeRequest request{
        databasePath(), pickedAirports(airports),
        mergeOptionsOf(codes.sameNameAction, codes.sameCallsignAction, codes.distanceRestriction),
        purpose};
    return runMerge(request, screen.screen());
}

// The program's preview and merge alone; what they write in place of a database of 1100 or
// later is checked.
void runAlone(const Inputs& inputs) {
    const std::optional<int> version = declaredVersion(inputs.databaseText);
    const bool laterFormat =
        version && navFormatOf(*version) && *version >= versionOf(NavFormat::V1100);
    const MergeOutcome preview = runProgram(inputs, JobPurpose::Preview);
    if (laterFormat && preview.end == MergeEnd::Previewed)
        checkMerged("preview", preview.databaseText, preview.mergedText, preview.report);
    const MergeOutcome merge = runProgram(inputs, JobPurpose::Merge);
    if (laterFormat && merge.end == MergeEnd::Written)
        checkMerged("merge", inputs.databaseText, readBytes(databasePath()), merge.report);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Inputs inputs = decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!referenceKnows(inputs)) {
        runAlone(inputs);
        return 0;
    }
    const Outcome expected = run<ReferenceMerger>(inputs);
    const Outcome actual = run<ProgramMerge>(inputs);
    compare("results", {std::to_string(expected.result)}, {std::to_string(actual.result)});
    compare("files", expected.files, actual.files);
    compare("questions", expected.questions, actual.questions);
    compare("progress and status", expected.events, actual.events);
    compare("errors", expected.errors, actual.errors);
    return 0;
}
