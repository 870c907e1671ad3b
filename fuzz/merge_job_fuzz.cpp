// Fuzz target: the whole merge job against the reference merge. Both run on the
// same files in the same folder, one after the other, answering the same questions; they
// must return the same result, leave the same database, backup and files, ask the same
// questions and show the same progress, status texts and errors. A difference aborts, so
// libFuzzer keeps the input. Inputs that the reference merge does not model (a database of a
// later format, an add-on of a later version) run through the merge job alone, for crashes and
// sanitizer findings.
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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
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

template <typename Job> Outcome run(const Inputs& inputs) {
    emptyWorkDir();
    const std::string database = workDir().file("earth_nav.dat");
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

    RecordingScreen screen;
    screen.answers.assign(inputs.answers.begin(), inputs.answers.end());
    Outcome outcome;
    outcome.result = mergeOnce<Job>(screen.screen(), database, airports, inputs.codes);
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Inputs inputs = decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!referenceKnows(inputs)) {
        run<ProgramMerge>(inputs);
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
