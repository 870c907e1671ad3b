// Times the merge job on generated data of a real database's size and prints one table for
// each case: the I/O floor (reading every input and writing a file of the output's size,
// nothing else), the safe I/O floor (the same with the backup copy and the flushes to disk
// that every merge makes), the whole job (load, backup, merge, write), the one-by-one reference
// merge on the same data (810 only: it knows no other format), and the job's peak heap against the
// size of its input files. The 1200 database is a real X-Plane 12 database's size; it takes custom
// airports in its own format, and older ones in 810, whose rows the job converts.

#include "heap_counter.h"
#include "nav_data_generator.h"
#include "quiet_screen.h"
#include "timing.h"

#include "reference_merge.h"
#include "test_files.h"

#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/text_file.h"
#include "merge/merge_job.h"
#include "scenery/nav_format.h"
#include "settings/settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 9;

// An X-Plane folder with the generated database and custom airports.
struct Workspace {
    fs::path root;
    std::string databasePath;
    std::string databaseBytes;
    std::vector<CustomAirport> airports;
    SettingCodes codes;
    std::size_t inputBytes = 0;

    void restoreDatabase() const { writeBytes(databasePath, databaseBytes); }
};

void readFile(const std::string& path, std::string& buffer) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    buffer.resize(static_cast<std::size_t>(std::ftell(file)));
    std::rewind(file);
    if (std::fread(buffer.data(), 1, buffer.size(), file) != buffer.size())
        std::fprintf(stderr, "short read of %s\n", path.c_str());
    std::fclose(file);
}

void readInputs(const Workspace& workspace) {
    std::string buffer;
    readFile(workspace.databasePath, buffer);
    for (const CustomAirport& airport : workspace.airports)
        readFile(airport.navDatPath, buffer);
}

// Reading every input whole and writing a file of the output's size, with nothing between.
double ioFloorSeconds(const Workspace& workspace, std::size_t outputSize) {
    const std::string output(outputSize, 'x');
    const std::string outputPath = (workspace.root / "floor.out").string();

    const auto start = std::chrono::steady_clock::now();
    readInputs(workspace);
    std::FILE* file = std::fopen(outputPath.c_str(), "wb");
    std::fwrite(output.data(), 1, output.size(), file);
    std::fclose(file);
    return secondsSince(start);
}

// The I/O floor with the file safety of every merge: the database copied to a backup, and
// the output written beside its target, flushed to disk and swapped in.
double safeIoFloorSeconds(const Workspace& workspace, std::size_t outputSize) {
    const std::string output(outputSize, 'x');
    const std::string outputPath = (workspace.root / "safe-floor.out").string();
    const std::string backupPath = (workspace.root / "safe-floor.bak").string();

    const auto start = std::chrono::steady_clock::now();
    readInputs(workspace);
    const bool copied = static_cast<bool>(copyFile(workspace.databasePath, backupPath));
    AtomicFileWriter file(outputPath, AtomicFileWriter::LineFeeds::AsGiven);
    file.write(output);
    if (!file.commit() || !copied)
        std::fprintf(stderr, "could not write %s\n", outputPath.c_str());
    return secondsSince(start);
}

template <typename Job> double jobSeconds(const Workspace& workspace, QuietScreen& screen) {
    workspace.restoreDatabase();
    const auto start = std::chrono::steady_clock::now();
    mergeOnce<Job>(screen.screen(), workspace.databasePath, workspace.airports, workspace.codes);
    return secondsSince(start);
}

// Database lines the merge dropped: the lines of the input and those of the custom airports
// that went in, less the lines of the output.
std::size_t droppedLines(const std::string& database, std::size_t customRows,
                         const std::string& output) {
    const auto lines = [](const std::string& text) {
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    };
    return lines(database) + customRows - lines(output);
}

struct Row {
    NavFormat format, addOnFormat;
    int airports;
    std::size_t customRows;
    const char* settings;
    int restriction;
    std::size_t dropped;
    double floor, safeFloor, job, reference;
    std::size_t peak, input;
    bool sameOutput;
};

void printTable(const std::vector<Row>& rows) {
    std::printf("\n%6s %6s %8s %7s %-15s %4s %7s | %9s %10s %9s %7s %8s | %11s %9s | %9s %10s | "
                "%s\n",
                "format", "add-on", "airports", "rows", "settings", "dist", "dropped", "I/O floor",
                "safe floor", "job", "job/flr", "job/safe", "reference", "ref/job", "peak heap",
                "peak/input", "output");
    for (const Row& r : rows) {
        std::printf("%6d %6d %8d %7zu %-15s %4s %7zu | %7.2fms %8.2fms %7.2fms %6.2fx %7.2fx | ",
                    versionOf(r.format), versionOf(r.addOnFormat), r.airports, r.customRows,
                    r.settings, r.restriction ? "on" : "off", r.dropped, r.floor * 1e3,
                    r.safeFloor * 1e3, r.job * 1e3, r.job / r.floor, r.job / r.safeFloor);
        if (r.format == NavFormat::V810)
            std::printf("%9.1fms %8.0fx | ", r.reference * 1e3, r.reference / r.job);
        else
            std::printf("%11s %9s | ", "-", "-");
        std::printf("%7.2fMB %9.2fx | %s\n", r.peak / 1e6, double(r.peak) / r.input,
                    r.format != NavFormat::V810 ? "-"
                    : r.sameOutput              ? "same as reference"
                                                : "DIFFERS FROM REFERENCE");
    }
}

// Runs the job on a database of the format with 1, 50 and 500 custom airports in the add-on
// format under the settings of the table; adds its rows. False when a run went wrong.
bool measure(NavFormat format, int databaseRows, NavFormat addOnFormat, const fs::path& root,
             std::vector<Row>& rows) {
    NavDataGenerator generator(810);
    const std::string database = generator.database(databaseRows, format);
    std::printf("Format %d: %d navaid rows, %zu bytes; add-ons in %d.\n", versionOf(format),
                databaseRows, database.size(), versionOf(addOnFormat));

    struct Choice {
        const char* name;
        int sameName, sameCallsign;
    };
    const Choice choices[] = {{"Replace/Replace", kSameNameReplace, kSameCallsignReplace},
                              {"Skip/Skip", kSameNameSkip, kSameCallsignSkip}};
    bool failed = false;
    for (int airportCount : {1, 50, 500}) {
        Workspace workspace;
        workspace.root =
            root / (std::to_string(versionOf(format)) + "-" +
                    std::to_string(versionOf(addOnFormat)) + "-" + std::to_string(airportCount));
        workspace.databasePath = (workspace.root / "earth_nav.dat").string();
        workspace.databaseBytes = database;
        workspace.inputBytes = database.size();
        std::size_t customRows = 0;
        int n = 0;
        for (const std::string& navDat : generator.customAirports(airportCount, addOnFormat)) {
            const fs::path path =
                workspace.root / "Custom Scenery" / ("Airport" + std::to_string(n++)) / "nav.dat";
            writeBytes(path.string(), navDat);
            workspace.airports.push_back(
                {path.string(), path.parent_path().filename().string(), true});
            workspace.inputBytes += navDat.size();
            customRows += std::count(navDat.begin(), navDat.end(), '\n') - 3;
        }

        for (const Choice& choice : choices) {
            for (int restriction : {1, 0}) {
                workspace.codes = {choice.sameName, choice.sameCallsign, restriction};
                QuietScreen screen;

                jobSeconds<ProgramMerge>(workspace, screen);
                const std::string output = readBytes(workspace.databasePath);
                // Floor and job take turns, so that both meet the same load of the machine.
                std::vector<double> jobTimes, floorTimes, safeFloorTimes;
                for (int i = 0; i < kRepeats; ++i) {
                    floorTimes.push_back(ioFloorSeconds(workspace, output.size()));
                    safeFloorTimes.push_back(safeIoFloorSeconds(workspace, output.size()));
                    jobTimes.push_back(jobSeconds<ProgramMerge>(workspace, screen));
                }

                workspace.restoreDatabase();
                heap_counter::resetPeak();
                const std::size_t before = heap_counter::liveBytes();
                std::size_t added = 0;
                {
                    const MergeRequest request{workspace.databasePath, workspace.airports,
                                               mergeOptionsOf(workspace.codes.sameNameAction,
                                                              workspace.codes.sameCallsignAction,
                                                              workspace.codes.distanceRestriction)};
                    added = runMerge(request, screen.screen()).report.added.size();
                }
                const std::size_t peak = heap_counter::peakBytes() - before;

                // The plain merge knows 810 alone.
                bool same = true;
                std::vector<double> referenceTimes = {0};
                if (format == NavFormat::V810) {
                    referenceTimes = {jobSeconds<ReferenceMerger>(workspace, screen)};
                    same = readBytes(workspace.databasePath) == output;
                    if (referenceTimes[0] < 1.0) {
                        for (int i = 0; i < 2; ++i)
                            referenceTimes.push_back(
                                jobSeconds<ReferenceMerger>(workspace, screen));
                    }
                }
                // An 810 output has frame lines: a blank one after each custom row and three
                // more than the database's "I", header and "99".
                const std::size_t frame = format == NavFormat::V810 ? added + 3 : 0;
                rows.push_back({format, addOnFormat, airportCount, customRows, choice.name,
                                restriction, droppedLines(database, added + frame, output),
                                median(floorTimes), median(safeFloorTimes), median(jobTimes),
                                median(referenceTimes), peak, workspace.inputBytes, same});
                failed = failed || !same || screen.questions != 0 || screen.errors != 0;
                std::fprintf(stderr, ".");
            }
        }
    }
    return !failed;
}

void printGoals(const std::vector<Row>& rows, std::size_t first) {
    const Row& goal = rows[first + 8]; // 500 airports, Replace/Replace, restriction on
    std::printf("\nGoals, format %d, 500 airports in %d, distance restriction on (%s):\n"
                "  whole job within 3x the I/O floor:        %.2fx  %s\n",
                versionOf(goal.format), versionOf(goal.addOnFormat), goal.settings,
                goal.job / goal.floor, goal.job <= 3 * goal.floor ? "met" : "NOT MET");
    std::printf("    the safe I/O floor alone:               %.2fx\n", goal.safeFloor / goal.floor);
    if (goal.format == NavFormat::V810)
        std::printf("  at least 100x faster than the reference:  %.0fx  %s\n",
                    goal.reference / goal.job,
                    goal.reference >= 100 * goal.job ? "met" : "NOT MET");
    std::printf("  peak heap at most 3x the input files:     %.2fx  %s\n",
                double(goal.peak) / goal.input, goal.peak <= 3 * goal.input ? "met" : "NOT MET");
}

} // namespace

int main() {
    const TempDir scratch;
    const fs::path root = scratch.path();
    std::printf("Times are medians of %d runs, floors and job taking turns (the reference: one "
                "run, or three when under a second); files in %s.\n",
                kRepeats, root.string().c_str());
    std::vector<Row> rows;
    bool ok = measure(NavFormat::V810, 30000, NavFormat::V810, root, rows);
    ok = measure(NavFormat::V1200, 40000, NavFormat::V1200, root, rows) && ok;
    ok = measure(NavFormat::V1200, 40000, NavFormat::V810, root, rows) && ok;
    printTable(rows);
    for (std::size_t first = 0; first < rows.size(); first += 12)
        printGoals(rows, first);

    return ok ? 0 : 1;
}
