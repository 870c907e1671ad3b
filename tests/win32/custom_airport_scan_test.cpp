#include "app_fixture.h"

#include "app/main_window_win32.h"
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
    EXPECT_EQ(state().scenery.xplaneDirectory, xplane.directory);
    EXPECT_EQ(state().scenery.mergeTarget.earthNavPath,
              xplane.directory + "Resources\\default data\\earth_nav.dat");
    for (const CustomAirport& airport : table()) {
        EXPECT_EQ(airport.navDatPath, xplane.directory + "Custom Scenery\\" + airport.folderName +
                                          "\\Earth nav data\\nav.dat");
        EXPECT_FALSE(airport.selected);
    }
}

TEST_F(AppTest, ScanWithoutCustomSceneryListsNothingAndSaysNothing) {
    const FakeXPlane xplane = makeXPlaneFolder(dir, "Bare", {});
    writeSettingsFile(xplane.exePath + "\n");
    start();
    EXPECT_TRUE(listItems().empty());
    EXPECT_TRUE(table().empty());
    EXPECT_EQ(state().scenery.xplaneDirectory, xplane.directory);
    EXPECT_EQ(state().scenery.mergeTarget.earthNavPath,
              xplane.directory + "Resources\\default data\\earth_nav.dat");
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
        scanCustomAirports(path.c_str(), state().scenery, listBox());
        EXPECT_EQ(listItems(), std::vector<std::string>{"Alpha"});
        EXPECT_EQ(tableFolders(), std::vector<std::string>{"Alpha"});
        EXPECT_EQ(state().scenery.xplaneDirectory, xplane.directory);
        EXPECT_EQ(state().scenery.mergeTarget.earthNavPath,
                  xplane.directory + "Resources\\default data\\earth_nav.dat");
    }
}

// Which database a merge goes into: the default one, or the navdata update's in Custom Data
// when X-Plane 11 or later reads it; nothing when Custom Data holds an update without it.
TEST_F(AppTest, ScanChoosesTheDatabaseAMergeGoesIntoAndShowsIt) {
    const std::string v810 = "I\r\n810 Version\r\n99\r\n";
    const std::string v1100 = "I\r\n1100 Version - data cycle 1709\r\n99\r\n";
    const std::string v1200 = "A\n1200 Version - data cycle 2301\n99\n";
    const std::string kDefault = "Resources\\default data\\earth_nav.dat";
    const std::string kCustom = "Custom Data\\earth_nav.dat";
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files; // path below X-Plane, bytes
        std::string target, line;                               // "" for no target
    } cases[] = {
        {"X-Plane 12 without Custom Data", {{kDefault, v1200}}, kDefault, "X-Plane 12 format 1200"},
        {"X-Plane 12 with a navdata update",
         {{kDefault, v1200}, {kCustom, v1100}, {"Custom Data\\earth_fix.dat", "I"}},
         kCustom,
         "X-Plane 11 format 1100"},
        {"X-Plane 11 with only the user's own files in Custom Data",
         {{kDefault, v1100},
          {"Custom Data\\user_nav.dat", "I"},
          {"Custom Data\\user_fix.dat", "I"}},
         kDefault,
         "X-Plane 11 format 1100"},
        {"X-Plane 10 with a Custom Data folder",
         {{kDefault, v810}, {kCustom, v1200}},
         kDefault,
         "X-Plane 8 to 10 format 810"},
        {"an unknown version",
         {{kDefault, "I\n1300 Version\n99\n"}, {kCustom, v1200}},
         kDefault,
         "unknown version 1300"},
        {"no version line", {{kDefault, "I\nNav data\n99\n"}}, kDefault, "no version line"},
        {"no database", {}, kDefault, "not found"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = "X-Plane " + std::to_string(++n);
        const FakeXPlane xplane = makeXPlaneFolder(dir, folder, {{"Alpha", true}});
        for (const auto& [path, bytes] : c.files)
            dir.writeFile(folder + "\\" + path, bytes);
        writeSettingsFile(xplane.exePath + "\n");
        start();
        EXPECT_EQ(state().scenery.mergeTarget.earthNavPath, xplane.directory + c.target);
        EXPECT_EQ(mergeTargetLine(),
                  "Merging into: " + xplane.directory + c.target + " (" + c.line + ")");
        stop();
    }
}

TEST_F(AppTest, ANavdataUpdateWithoutEarthNavDatStopsGoAndChangesNothing) {
    const std::string database = "I\r\n1200 Version\r\n99\r\n";
    const FakeXPlane xplane = makeXPlaneFolder(dir, "X-Plane 12", {{"Alpha", true}});
    dir.writeFile("X-Plane 12\\Resources\\default data\\earth_nav.dat", database);
    dir.writeFile("X-Plane 12\\Custom Data\\earth_awy.dat", "I\r\n1100 Version\r\n99\r\n");
    dir.writeFile("X-Plane 12\\Custom Data\\user_nav.dat", "I\r\n1100 Version\r\n99\r\n");
    writeSettingsFile(xplane.exePath + "\n");
    start();
    EXPECT_EQ(mergeTargetLine(),
              "Merging into: nothing (Custom Data has earth_awy.dat but no earth_nav.dat)");
    SendMessageA(listBox(), LB_SETSEL, TRUE, 0);
    HWND go = GetDlgItem(mainWindow, 2);
    runModal([&] { return SendMessageA(go, BM_CLICK, 0, 0); },
             [&] {
                 HWND box = waitForOwnedWindow(mainWindow, "#32770", "Quillet");
                 ASSERT_NE(box, nullptr);
                 EXPECT_EQ(messageBoxText(box),
                           "Custom Data holds a navdata update (earth_awy.dat) but no "
                           "earth_nav.dat, so Quillet cannot tell which database X-Plane "
                           "reads.\nNothing was changed.");
                 postButtonClick(box, IDOK);
             });
    EXPECT_FALSE(table()[0].selected);
    const std::string defaultPath = xplane.directory + "Resources\\default data\\earth_nav.dat";
    EXPECT_EQ(readBytes(defaultPath), database);
    EXPECT_FALSE(fileExists(defaultPath + ".bak"));
    EXPECT_FALSE(fileExists(xplane.directory + "Custom Data\\earth_nav.dat"));
}

} // namespace
