#include "app_fixture.h"

#include "app/main_window_win32.h"
#include "ui/ui_values_win32.h"
#include "scenery/custom_airport_scan_win32.h"

#include <algorithm>

namespace {

using namespace driver;

// The folder names of Custom Scenery in the order the file system lists them.
std::vector<std::string> directoryOrder(const std::string& customScenery) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((customScenery + "\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

TEST_F(AppTest, StartUpListsTheAirportsSortedAndKeepsThemInDirectoryOrder) {
    // The file system lists "A-Z Strip" before "AB Field" (by character code); the list box
    // sorts as lstrcmpi does, where a hyphen hardly counts.
    const std::vector<std::string> airports = {"Papa", "AB Field", "A-Z Strip", "Charlie", "bravo"};
    std::vector<SceneryFolder> folders = {{"Oscar no nav", false}};
    for (const std::string& name : airports)
        folders.push_back({name, true});
    const FakeXPlane xplane = makeXPlaneFolder(dir, "X-Plane 12", folders);
    dir.writeFile("X-Plane 12\\Custom Scenery\\readme.txt", "not a folder");
    writeSettingsFile(xplane.exePath + "\n");
    start(); // the list is filled while the window is shown, before any message loop

    std::vector<std::string> directory;
    for (const std::string& name : directoryOrder(xplane.directory + "Custom Scenery"))
        if (std::find(airports.begin(), airports.end(), name) != airports.end())
            directory.push_back(name);
    std::vector<std::string> sorted = airports;
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    ASSERT_NE(directory, sorted) << "the two orders must differ for this test to tell them apart";

    EXPECT_EQ(listItems(), sorted);
    EXPECT_EQ(tableFolders(), directory);
    EXPECT_EQ(xplaneDirectory, xplane.directory);
    EXPECT_EQ(earthNavPath, xplane.directory + "Resources\\default data\\earth_nav.dat");
    for (const CustomAirport& airport : customAirports) {
        EXPECT_EQ(airport.navDatPath, xplane.directory + "Custom Scenery\\" + airport.folderName +
                                          "\\Earth nav data\\nav.dat");
        EXPECT_EQ(airport.selected, 0);
    }
}

TEST_F(AppTest, ScanWithoutCustomSceneryListsNothingAndSaysNothing) {
    const FakeXPlane xplane = makeXPlaneFolder(dir, "Bare", {});
    writeSettingsFile(xplane.exePath + "\n");
    start();
    EXPECT_TRUE(listItems().empty());
    EXPECT_TRUE(customAirports.empty());
    EXPECT_EQ(xplaneDirectory, xplane.directory);
    EXPECT_EQ(earthNavPath, xplane.directory + "Resources\\default data\\earth_nav.dat");
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
}

TEST_F(AppTest, ScanOfAPathThatNamesNoUsableFolderChangesNothing) {
    const FakeXPlane xplane = makeXPlaneFolder(dir, "Sim", {{"Alpha", true}});
    writeSettingsFile(xplane.exePath + "\n");
    start();
    const std::string longFolder = "C:\\" + std::string(240, 'L') + "\\X-Plane.exe";
    for (const std::string& path :
         {std::string(""), std::string("C"), std::string("X-Plane.exe"), longFolder}) {
        SCOPED_TRACE(path);
        scanCustomAirports(mainWindow, path.c_str());
        EXPECT_EQ(listItems(), std::vector<std::string>{"Alpha"});
        EXPECT_EQ(tableFolders(), std::vector<std::string>{"Alpha"});
        EXPECT_EQ(xplaneDirectory, xplane.directory);
        EXPECT_EQ(earthNavPath, xplane.directory + "Resources\\default data\\earth_nav.dat");
    }
}

} // namespace
