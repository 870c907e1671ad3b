#include "scenery/custom_airport_list.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(ListsBefore, ComparesBytesWithLettersUpperCasedThenBytes) {
    const struct {
        const char *a, *b;
        bool before;
    } cases[] = {
        {"a", "B", true},     {"B", "a", false},   {"Z", "_", true},     {"_", "a", false},
        {"abc", "ABD", true}, {"ab", "abc", true}, {"abc", "ab", false}, {"AB", "ab", true},
        {"ab", "AB", false},  {"x", "x", false},   {"9", "A", true},     {"\xe9", "z", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listsBefore(c.a, c.b), c.before) << c.a << " / " << c.b;
}

TEST(ListCustomAirports, ListsTheFoldersWithNavDataInListingOrder) {
    TempDir dir;
    const XPlaneFolder folder = xplaneFolderAt(dir.path());
    // Listing order puts "_under" after the letters; byte order would put it before "alpha2".
    for (const char* name : {"zulu", "_under", "alpha2", "Bravo", "Alpha"})
        writeBytes(customNavDatPath(folder, name), "I\n810 Version\n99\n");
    fs::create_directories(customSceneryPath(folder) + "/No Nav Data/Earth nav data");
    writeBytes(customSceneryPath(folder) + "/readme.txt", "not an airport");
    // Anything at the nav.dat's path counts, as in the window's scan.
    fs::create_directories(customNavDatPath(folder, "Odd"));

    std::vector<std::string> names, paths;
    for (const CustomAirport& airport : listCustomAirports(folder)) {
        names.push_back(airport.folderName);
        paths.push_back(airport.navDatPath);
        EXPECT_FALSE(airport.selected);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Alpha", "alpha2", "Bravo", "Odd", "zulu", "_under"}));
    EXPECT_EQ(paths[0], customNavDatPath(folder, "Alpha"));
}

TEST(ListCustomAirports, IsEmptyWithoutCustomScenery) {
    TempDir dir;
    EXPECT_TRUE(listCustomAirports(xplaneFolderAt(dir.path())).empty());
}

} // namespace
