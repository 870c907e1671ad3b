// Starts the program on a given X-Plane folder and saves a picture of each of its windows.
// usage: screenshots OUTPUT-FOLDER X-PLANE-EXE-PATH

#include "screenshots.h"

#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "merge_screenshots.h"
#include "res/resource.h"
#include "test_files.h"
#include "window_driver.h"

#include <cstdio>
#include <vector>

using namespace driver;

bool ScreenshotSession::save(HWND window, const std::string& name) const {
    const std::string path = outputDirectory + "\\" + name + ".bmp";
    if (window != nullptr && saveWindowBitmap(window, path))
        return true;
    std::fprintf(stderr, "could not save %s\n", path.c_str());
    return false;
}

void ScreenshotSession::runCommand(int commandId, const std::function<void()>& driverCall) const {
    runModal(
        [&] {
            SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
            return INT_PTR{0};
        },
        driverCall);
}

namespace {

// Saves the modal window that the command opens (owned by the main window, of the given
// caption), then closes it with Escape.
bool shootModal(const ScreenshotSession& session, int commandId, const char* caption,
                const std::string& name) {
    bool saved = false;
    session.runCommand(commandId, [&] {
        HWND window = waitForOwnedWindow(session.mainWindow, "#32770", caption);
        saved = session.save(window, name);
        if (window != nullptr)
            pressEscape(window);
    });
    return saved;
}

// The main window with its list, two airports selected.
bool shootMainWindow(const ScreenshotSession& session) {
    HWND list = mainWindowState(session.mainWindow)->airportList;
    for (const char* name : {"EDDM Munich XP", "KSEA Seattle-Tacoma HD"}) {
        const LRESULT item =
            SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name));
        SendMessageA(list, LB_SETSEL, TRUE, item);
    }
    return session.save(session.mainWindow, "main-window");
}

bool shootSettingsDialog(const ScreenshotSession& session) {
    return shootModal(session, IDM_SETTINGS, "Quillet", "settings-dialog");
}

bool shootAboutBox(const ScreenshotSession& session) {
    return shootModal(session, IDM_ABOUT, "About", "about-box");
}

// Cancels the open-file dialog of "Set X-Plane Folder" and saves the warning that follows.
// The program is then on the default X-Plane folder.
bool shootFolderWarning(const ScreenshotSession& session) {
    bool saved = false;
    session.runCommand(IDM_SET_XPLANE_FOLDER, [&] {
        HWND open = waitForOwnedWindow(session.mainWindow, "#32770", "Open");
        if (open == nullptr)
            return;
        postCommand(open, IDCANCEL);
        HWND warning = waitForOwnedWindow(session.mainWindow, "#32770", "Quillet");
        saved = session.save(warning, "folder-warning");
        if (warning != nullptr)
            pressEnter(warning);
    });
    return saved;
}

// In this order; the folder warning comes last, since it leaves the X-Plane folder behind.
// clang-format off
const Screenshot kScreenshots[] = {
    {"main window", shootMainWindow},
    {"settings dialog", shootSettingsDialog},
    {"About box", shootAboutBox},
    {"merge preview", shootPreview},
    {"merge run", shootMergeRun},
    {"folder warning", shootFolderWarning},
};
// clang-format on

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshots OUTPUT-FOLDER X-PLANE-EXE-PATH\n");
        return 2;
    }
    // The program starts in a scratch folder whose settings file names the X-Plane folder.
    TempDir start;
    start.writeFile("q-config.qcf", std::string(argv[2]) + "\r\n1017\r\n1020\r\n1\r\n");
    SetCurrentDirectoryA(start.path().c_str());

    HINSTANCE instance = GetModuleHandleA(nullptr);
    startUp(instance);
    if (registerMainWindowClass(instance) == 0 || !createMainWindow(instance, SW_SHOWNORMAL))
        return 1;
    ScreenshotSession session{argv[1], FindWindowA(windowClassName(), windowTitle())};

    int failures = 0;
    for (const Screenshot& shot : kScreenshots) {
        const bool saved = shot.take(session);
        std::printf("%s: %s\n", shot.name, saved ? "saved" : "FAILED");
        failures += saved ? 0 : 1;
    }
    DestroyWindow(session.mainWindow);
    SetCurrentDirectoryA(argv[1]); // lets the scratch folder go
    return failures == 0 ? 0 : 1;
}
