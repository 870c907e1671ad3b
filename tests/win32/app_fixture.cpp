#include "app_fixture.h"

#include "res/resource.h"
#include "app/start_up_win32.h"
#include "settings/settings.h"

#include <cstdlib>

FakeXPlane makeXPlaneFolder(const TempDir& dir, const std::string& relative,
                            const std::vector<SceneryFolder>& folders) {
    FakeXPlane xplane;
    xplane.directory = dir.makeFolder(relative) + "\\";
    xplane.exePath = dir.writeFile(relative + "\\X-Plane.exe", "");
    for (const SceneryFolder& folder : folders) {
        const std::string sub = relative + "\\Custom Scenery\\" + folder.name;
        if (folder.hasNavData)
            dir.writeFile(sub + "\\Earth nav data\\nav.dat", "I\r\n810 Version\r\n99\r\n");
        else
            dir.makeFolder(sub + "\\Earth nav data");
    }
    return xplane;
}

void AppTest::SetUp() {
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    savedCurrentDirectory_ = current;
    startDirectory = dir.makeFolder("start");
    SetCurrentDirectoryA(startDirectory.c_str());
    // The user's own settings folder of each test is its own.
    Settings::instance()->userDirectory = dir.file("AppData\\Quillet");
}

void AppTest::TearDown() {
    stop();
    SetCurrentDirectoryA(savedCurrentDirectory_.c_str());
}

void AppTest::stop() {
    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(windowClassName(), appInstance());
}

void AppTest::writeSettingsFile(const std::string& text) const {
    dir.writeFile("start\\q-config.qcf", crlf(text));
}

std::string AppTest::settingsFilePath() const {
    return startDirectory + "\\q-config.qcf";
}

HWND AppTest::start() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    startUp(instance);
    EXPECT_NE(registerMainWindowClass(instance), 0);
    EXPECT_TRUE(createMainWindow(instance, SW_SHOWNORMAL));
    mainWindow = FindWindowA(windowClassName(), windowTitle());
    EXPECT_NE(mainWindow, nullptr);
    return mainWindow;
}

MainWindowState& AppTest::state() const {
    MainWindowState* state = mainWindowState(mainWindow);
    if (state == nullptr) {
        ADD_FAILURE() << "the main window has no state";
        std::abort();
    }
    return *state;
}

std::vector<std::string> AppTest::listItems() const {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(listBox(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[300] = {};
        SendMessageA(listBox(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

std::vector<std::string> AppTest::tableFolders() const {
    std::vector<std::string> folders;
    for (const CustomAirport& airport : table())
        folders.push_back(airport.folderName);
    return folders;
}

std::string AppTest::folderLabel() const {
    return driver::windowText(GetDlgItem(mainWindow, IDC_LABEL));
}

std::string AppTest::mergeTargetLine() const {
    return driver::windowText(GetDlgItem(mainWindow, IDC_MERGE_TARGET));
}

void AppTest::runMenuCommand(int commandId, const std::function<void()>& driverCall) {
    driver::runModal(
        [&] {
            SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
            return INT_PTR{0};
        },
        driverCall);
}
