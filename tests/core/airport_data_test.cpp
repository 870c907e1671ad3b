// X-Plane's airport data as the conversion reads it: airports by code and by ICAO code, their
// names and regions, in a file read in pieces.

#include "scenery/airport_data.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AirportData, ReadsNamesAndRegionsOfAirportsSeaplaneBasesAndHeliports) {
    TempDir dir;
    const std::string path =
        dir.writeFile("apt.dat", "I\r\n1200 Version - data cycle 2406\r\n\r\n"
                                 "1    433 0 0 KSEA Seattle-Tacoma Intl\r\n"
                                 "1302 city Seattle\r\n"
                                 "1302 region_code K1\r\n"
                                 "100 45.72 1 0 0.25 0 0 0 16L 47.46 -122.30 0 0 2 0 0 1 34R\r\n"
                                 "16  0 0 0 W55 Kenmore Air Harbor\r\n"
                                 "17\t100\t0\t0\tXHEL  Roof  Top \r\n"
                                 "1 1 0 0 X1Y2 Airport Of Two Codes\r\n"
                                 "1302 icao_code ekab\r\n"
                                 "1302 region_code EK\r\n"
                                 "1 10 0 0 LKCS Ceske Budejovice\r\n"
                                 "1 10 0 0 LKCS Ceske Budejovice Airport\r\n"
                                 "99\r\n");
    AirportData data;
    ASSERT_TRUE(data.read(path, {}));
    const struct {
        const char* code;
        const char* name;
        const char* region;
    } airports[] = {
        {"KSEA", "Seattle-Tacoma Intl", "K1"},
        {"ksea", "Seattle-Tacoma Intl", "K1"},
        {"W55", "Kenmore Air Harbor", ""},
        {"XHEL", "Roof  Top", ""},
        {"X1Y2", "Airport Of Two Codes", "EK"},
        {"EKAB", "Airport Of Two Codes", "EK"},   // by its ICAO code too
        {"LKCS", "Ceske Budejovice Airport", ""}, // the later of two
    };
    for (const auto& airport : airports) {
        const AirportFacts* facts = data.find(airport.code);
        ASSERT_NE(facts, nullptr) << airport.code;
        EXPECT_EQ(facts->name, airport.name) << airport.code;
        EXPECT_EQ(facts->region, airport.region) << airport.code;
    }
    EXPECT_EQ(data.find("16L"), nullptr);
    EXPECT_EQ(data.find("EDDM"), nullptr);
}

TEST(AirportData, ReadsRowsThatStraddleItsPiecesAndTellsHowFarItIs) {
    // An airport row across the end of the first megabyte, and one longer than a megabyte.
    std::string text = "I\n1200 Version\n";
    const std::string filler = "111 47.46 -122.30\n";
    while (text.size() + filler.size() < (1u << 20) - 10)
        text += filler;
    text += "1 433 0 0 KSEA Seattle-Tacoma Intl\n1302 region_code K1\n";
    const std::string longName(1u << 20, 'N');
    text += "1 0 0 0 LONG " + longName + "\n1302 region_code LL\n99";
    TempDir dir;
    const std::string path = dir.writeFile("apt.dat", text);
    AirportData data;
    std::uint64_t lastDone = 0, lastSize = 0;
    int calls = 0;
    ASSERT_TRUE(data.read(path, [&](std::uint64_t done, std::uint64_t size) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        lastSize = size;
        ++calls;
    }));
    ASSERT_NE(data.find("KSEA"), nullptr);
    EXPECT_EQ(data.find("KSEA")->region, "K1");
    ASSERT_NE(data.find("LONG"), nullptr);
    EXPECT_EQ(data.find("LONG")->name, longName);
    EXPECT_EQ(data.find("LONG")->region, "LL");
    EXPECT_EQ(lastDone, text.size());
    EXPECT_EQ(lastSize, text.size());
    EXPECT_GT(calls, 2);
}

TEST(AirportData, AFileThatCannotBeReadSaysWhich) {
    TempDir dir;
    AirportData data;
    const FileResult read = data.read(dir.file("missing/apt.dat"), {});
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().path, dir.file("missing/apt.dat"));
}

} // namespace
