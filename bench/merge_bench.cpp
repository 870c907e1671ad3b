// Times the merge job on generated data of a real database's size and prints one table: the
// I/O floor (reading every input and writing a file of the output's size, nothing else), the
// whole job (load, backup, merge, write), the one-by-one reference merge on the same data,
// and the job's peak heap against the size of its input files.

#include "heap_counter.h"
#include "nav_data_generator.h"
#include "quiet_screen.h"
#include "timing.h"

#include "reference_merge.h"
#include "test_files.h"

#include "merge/nav_merger.h"
#include "settings/settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kDatabaseRows = 30000;
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

// Reading every input whole and writing a file of the output's size, with nothing between.
double ioFloorSeconds(const Workspace& workspace, std::size_t outputSize) {
    std::vector<std::string> inputs = {workspace.databasePath};
    for (const CustomAirport& airport : workspace.airports)
        inputs.push_back(airport.navDatPath);
    const std::string output(outputSize, 'x');
    const std::string outputPath = (workspace.root / "floor.out").string();

    const auto start = std::chrono::steady_clock::now();
    std::string buffer;
    for (const std::string& path : inputs) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        buffer.resize(static_cast<std::size_t>(std::ftell(file)));
        std::rewind(file);
        if (std::fread(buffer.data(), 1, buffer.size(), file) != buffer.size())
            std::fprintf(stderr, "short read of %s\n", path.c_str());
        std::fclose(file);
    }
    std::FILE* file = std::fopen(outputPath.c_str(), "wb");
    std::fwrite(output.data(), 1, output.size(), file);
    std::fclose(file);
    return secondsSince(start);
}

template <typename Job> double jobSeconds(const Workspace& workspace, QuietScreen& screen) {
    workspace.restoreDatabase();
    const auto start = std::chrono::steady_clock::now();
    mergeOnce<Job>(screen.screen(), workspace.databasePath, workspace.airports, workspace.codes);
    return secondsSince(start);
}

// Database lines the merge dropped: those of the input less those in the block written after
// the header ("I", header, blank line, kept lines, blank line).
std::size_t droppedLines(const std::string& output) {
    // From the blank line's CR LF up to the last kept line's CR LF, one line feed per line.
    const std::size_t blank = output.find("\r\n\r\n") + 2;
    const std::size_t blockEnd = output.find("\r\n\r\n", blank);
    const std::size_t kept = std::count(output.begin() + blank, output.begin() + blockEnd, '\n');
    return kDatabaseRows - kept;
}

struct Row {
    int airports;
    std::size_t customRows;
    const char* settings;
    int restriction;
    std::size_t dropped;
    double floor, job, reference;
    std::size_t peak, input;
    bool sameOutput;
};

void printTable(const std::vector<Row>& rows) {
    std::printf("\n%8s %7s %-15s %4s %7s | %9s %9s %7s | %11s %9s | %9s %10s | %s\n", "airports",
                "rows", "settings", "dist", "dropped", "I/O floor", "job", "job/flr", "reference",
                "ref/job", "peak heap", "peak/input", "output");
    for (const Row& r : rows) {
        std::printf("%8d %7zu %-15s %4s %7zu | %7.2fms %7.2fms %6.2fx | %9.1fms %8.0fx | "
                    "%7.2fMB %9.2fx | %s\n",
                    r.airports, r.customRows, r.settings, r.restriction ? "on" : "off", r.dropped,
                    r.floor * 1e3, r.job * 1e3, r.job / r.floor, r.reference * 1e3,
                    r.reference / r.job, r.peak / 1e6, double(r.peak) / r.input,
                    r.sameOutput ? "same as reference" : "DIFFERS FROM REFERENCE");
    }
}

} // namespace

int main() {
    const TempDir scratch;
    const fs::path root = scratch.path();
    NavDataGenerator generator(810);
    const std::string database = generator.database(kDatabaseRows);
    std::printf(
        "Database: %d navaid rows, %zu bytes. Times are medians of %d runs, floor and job "
        "taking turns (the reference: one run, or three when under a second); files in %s.\n",
        kDatabaseRows, database.size(), kRepeats, root.string().c_str());

    struct Choice {
        const char* name;
        int sameName, sameCallsign;
    };
    const Choice choices[] = {{"Replace/Replace", kSameNameReplace, kSameCallsignReplace},
                              {"Skip/Skip", kSameNameSkip, kSameCallsignSkip}};
    std::vector<Row> rows;
    bool failed = false;
    for (int airportCount : {1, 50, 500}) {
        Workspace workspace;
        workspace.root = root / std::to_string(airportCount);
        workspace.databasePath = (workspace.root / "earth_nav.dat").string();
        workspace.databaseBytes = database;
        workspace.inputBytes = database.size();
        std::size_t customRows = 0;
        int n = 0;
        for (const std::string& navDat : generator.customAirports(airportCount)) {
            const fs::path path =
                workspace.root / "Custom Scenery" / ("Airport" + std::to_string(n++)) / "nav.dat";
            writeBytes(path.string(), navDat);
            workspace.airports.push_back(
                {path.string(), path.parent_path().filename().string(), 1});
            workspace.inputBytes += navDat.size();
            customRows += std::count(navDat.begin(), navDat.end(), '\n') - 3;
        }

        for (const Choice& choice : choices) {
            for (int restriction : {1, 0}) {
                workspace.codes = {choice.sameName, choice.sameCallsign, restriction};
                QuietScreen screen;

                jobSeconds<NavMerger>(workspace, screen);
                const std::string output = readBytes(workspace.databasePath);
                // Floor and job take turns, so that both meet the same load of the machine.
                std::vector<double> jobTimes, floorTimes;
                for (int i = 0; i < kRepeats; ++i) {
                    floorTimes.push_back(ioFloorSeconds(workspace, output.size()));
                    jobTimes.push_back(jobSeconds<NavMerger>(workspace, screen));
                }

                workspace.restoreDatabase();
                heap_counter::resetPeak();
                const std::size_t before = heap_counter::liveBytes();
                mergeOnce<NavMerger>(screen.screen(), workspace.databasePath, workspace.airports,
                                     workspace.codes);
                const std::size_t peak = heap_counter::peakBytes() - before;

                std::vector<double> referenceTimes = {
                    jobSeconds<ReferenceMerger>(workspace, screen)};
                const bool same = readBytes(workspace.databasePath) == output;
                if (referenceTimes[0] < 1.0) {
                    for (int i = 0; i < 2; ++i)
                        referenceTimes.push_back(jobSeconds<ReferenceMerger>(workspace, screen));
                }

                rows.push_back({airportCount, customRows, choice.name, restriction,
                                droppedLines(output), median(floorTimes), median(jobTimes),
                                median(referenceTimes), peak, workspace.inputBytes, same});
                failed = failed || !same || screen.questions != 0 || screen.errors != 0;
                std::fprintf(stderr, ".");
            }
        }
    }
    printTable(rows);

    const Row& goal = rows[rows.size() - 4]; // 500 airports, Replace/Replace, restriction on
    std::printf("\nGoals, 500 airports x %d rows, distance restriction on (%s):\n"
                "  whole job within 3x the I/O floor:        %.2fx  %s\n"
                "  at least 100x faster than the reference:  %.0fx  %s\n"
                "  peak heap at most 3x the input files:     %.2fx  %s\n",
                kDatabaseRows, goal.settings, goal.job / goal.floor,
                goal.job <= 3 * goal.floor ? "met" : "NOT MET", goal.reference / goal.job,
                goal.reference >= 100 * goal.job ? "met" : "NOT MET",
                double(goal.peak) / goal.input, goal.peak <= 3 * goal.input ? "met" : "NOT MET");

    return failed ? 1 : 0;
}
