// What X-Plane's Global Airports apt.dat costs a merge that needs it: a generated file of
// X-Plane 12's size and shape (tens of thousands of airports, their metadata, runways,
// pavement and taxi routes; 300 MB by default), read with a warm cache on its own, and a
// whole merge of one 810 airport that the database lacks, with that file and without it.
//
//   quillet_airport_data_bench [megabytes]

#include "quiet_screen.h"
#include "timing.h"

#include "test_files.h"

#include "merge/merge_job.h"
#include "scenery/airport_data.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRepeats = 5;

// An apt.dat of about `bytes` bytes whose airports are AP00000, AP00001, ...
std::string airportData(std::size_t bytes, std::size_t& airports) {
    std::string text = "I\n1200 Version - data cycle 2406, build 20240601, generated.\n\n";
    text.reserve(bytes + 4096);
    char row[160];
    for (airports = 0; text.size() < bytes; ++airports) {
        std::snprintf(row, sizeof row, "1    %zu 0 0 AP%05zu Generated Airport %zu\n",
                      airports % 9000, airports, airports);
        text += row;
        for (const char* key : {"city Somewhere", "country Nowhere", "datum_lat 47.449888889",
                                "datum_lon -122.311777778", "gui_label 3D", "iata_code XXX"})
            text += std::string("1302 ") + key + "\n";
        std::snprintf(row, sizeof row, "1302 icao_code AP%05zu\n1302 region_code K%zu\n", airports,
                      airports % 10);
        text += row;
        text += "100 45.11 1 0 0.25 0 2 1 16L 47.46379100 -122.30801700 0 0 3 2 1 0 34R "
                "47.43126400 -122.30803000 0 0 3 2 1 0\n";
        for (int node = 0; node < 120; ++node) {
            std::snprintf(row, sizeof row, "%d 47.4%07d -122.3%07d\n", 111 + node % 6,
                          node * 7919 % 10000000, node * 104729 % 10000000);
            text += row;
        }
        for (int edge = 0; edge < 60; ++edge) {
            std::snprintf(row, sizeof row, "1202 %d %d twoway taxiway_E A%d\n", edge, edge + 1,
                          edge % 9);
            text += row;
        }
    }
    return text + "99\n";
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 300;
    TempDir dir;
    std::size_t airports = 0;
    const std::string aptDat =
        dir.writeFile("Global Scenery/Global Airports/Earth nav data/apt.dat",
                      airportData(megabytes << 20, airports));
    std::printf("apt.dat: %zu MB, %zu airports (in %s)\n", megabytes, airports, dir.path().c_str());

    std::vector<double> reads;
    for (int i = 0; i <= kRepeats; ++i) { // the first run warms the cache
        AirportData data;
        const auto start = std::chrono::steady_clock::now();
        const FileResult read = data.read(aptDat, {});
        if (i > 0)
            reads.push_back(secondsSince(start));
        if (!read || !data.find("AP00007")) {
            std::fprintf(stderr, "apt.dat not read\n");
            return 1;
        }
    }
    std::printf("  read alone, warm cache:            %7.1f ms  (median of %d)\n",
                median(reads) * 1e3, kRepeats);

    // One 810 airport of the generated data, which the database does not hold.
    const std::string database = "I\n1200 Version - data cycle 2406, build 20240601\n"
                                 "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  "
                                 "ENRT K1 SEATTLE VORTAC\n99\n";
    const std::string databasePath = dir.file("Resources/default data/earth_nav.dat");
    const std::string navDat = dir.writeFile(
        "Custom Scenery/AP00007/Earth nav data/nav.dat",
        "I\n810 Version\n4  47.44 -122.31 338 11050 18 180.000 IXYZ AP00007 16L ILS-cat-I\n99\n");
    QuietScreen screen;
    for (const bool withAirportData : {false, true}) {
        std::vector<double> merges;
        for (int i = 0; i <= kRepeats; ++i) {
            writeBytes(databasePath, database);
            MergeRequest request{
                databasePath, {{navDat, "AP00007", true}}, {}, JobPurpose::Preview};
            if (withAirportData)
                request.airportDataPaths = {aptDat};
            const auto start = std::chrono::steady_clock::now();
            const MergeOutcome outcome = runMerge(request, screen.screen());
            if (i > 0)
                merges.push_back(secondsSince(start));
            if (outcome.end != MergeEnd::Previewed || outcome.report.added.size() != 1) {
                std::fprintf(stderr, "the merge did not add its row\n");
                return 1;
            }
        }
        std::printf("  merge of one airport, %s: %7.1f ms\n",
                    withAirportData ? "with apt.dat   " : "without apt.dat", median(merges) * 1e3);
    }
    return 0;
}
