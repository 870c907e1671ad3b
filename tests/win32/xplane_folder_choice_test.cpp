#include "app_fixture.h"

#include "app/main_window_win32.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

using namespace driver;

// The open-file dialog takes about two seconds under Wine: one test per way out of it.
class FolderChoiceTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        first = makeXPlaneFolder(dir, "First", {{"Alpha", true}, {"Shared", true}});
        second = makeXPlaneFolder(dir, "Second", {{"Shared", true}, {"Zulu", true}});
        // The second is an X-Plane 12 with a navdata update.
        dir.writeFile("Second\\Resources\\default data\\earth_nav.dat",
                      "I\r\n1200 Version\r\n99\r\n");
        dir.writeFile("Second\\Custom Data\\earth_nav.dat", "I\r\n1200 Version\r\n99\r\n");
        writeSettingsFile(first.exePath + "\n");
        start();
        DeleteFileA(settingsFilePath().c_str());
        ASSERT_EQ(listItems(), (std::vector<std::string>{"Alpha", "Shared"}));
    }

    HWND waitForOpenDialog() {
        HWND open = waitForOwnedWindow(mainWindow, "#32770", "Open");
        EXPECT_NE(open, nullptr);
        return open;
    }

    FakeXPlane first, second;
};

TEST_F(FolderChoiceTest, ChoosingAnotherXPlaneListsOnlyItsAirports) {
    runMenuCommand(IDM_SET_XPLANE_FOLDER, [&] {
        HWND open = waitForOpenDialog();
        ASSERT_NE(open, nullptr);
        // The file name starts empty; the first filter is in force.
        HWND fileName = GetDlgItem(open, cmb13);
        EXPECT_EQ(windowText(fileName), "");
        EXPECT_EQ(windowText(GetDlgItem(open, cmb1)), "X-Plane.exe");
        sendMessage(fileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(second.exePath.c_str()));
        postCommand(open, IDOK);
    });
    EXPECT_EQ(Settings::instance()->xplaneExePath, second.exePath);
    EXPECT_EQ(folderLabel(), "X-Plane folder: " + second.exePath);
    EXPECT_EQ(listItems(), (std::vector<std::string>{"Shared", "Zulu"}));
    ASSERT_EQ(table().size(), 2u);
    for (const CustomAirport& airport : table())
        EXPECT_EQ(airport.navDatPath.rfind(second.directory, 0), 0u) << airport.navDatPath;
    EXPECT_EQ(state().scenery.xplaneDirectory, second.directory);
    EXPECT_EQ(mergeTargetLine(), "Merging into: " + second.directory +
                                     "Custom Data\\earth_nav.dat (X-Plane 12 format 1200)");
    // The choice is kept in memory only; the file is written at exit.
    EXPECT_FALSE(fileExists(settingsFilePath()));
}

TEST_F(FolderChoiceTest, CancelWarnsAndKeepsTheConfiguredFolderAndItsList) {
    const std::string exePath = Settings::instance()->xplaneExePath;
    const std::string label = folderLabel();
    const std::vector<std::string> table = tableFolders();
    SendMessageA(listBox(), LB_SETSEL, TRUE, 1);
    runMenuCommand(IDM_SET_XPLANE_FOLDER, [&] {
        HWND open = waitForOpenDialog();
        ASSERT_NE(open, nullptr);
        postCommand(open, IDCANCEL);
        HWND warning = waitForOwnedWindow(mainWindow, "#32770", "Quillet");
        ASSERT_NE(warning, nullptr);
        EXPECT_EQ(messageBoxText(warning), "Error: no choose X-Plane Folder.");
        EXPECT_EQ(GetDlgItem(warning, IDCANCEL), nullptr); // an OK button only
        pressEnter(warning);
    });
    EXPECT_EQ(Settings::instance()->xplaneExePath, exePath);
    EXPECT_EQ(folderLabel(), label);
    EXPECT_EQ(state().scenery.xplaneDirectory, first.directory);
    EXPECT_EQ(listItems(), (std::vector<std::string>{"Alpha", "Shared"}));
    EXPECT_EQ(tableFolders(), table);
    EXPECT_EQ(SendMessageA(listBox(), LB_GETSEL, 1, 0), 1); // the selection too
}

} // namespace
