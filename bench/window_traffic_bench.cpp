// Times a whole "GO!" run against the merge job alone, on the same generated data, in the
// same Windows program, and prints one table. The whole run is the real thing: the main
// window's "GO!" button, the progress dialog and its worker thread, and "Process is
// complete!", dismissed by a driver thread as soon as it appears. The job alone is the merge
// job built and merged with a screen that shows nothing. Settings Replace/Replace (nothing is
// asked), distance restriction on. Run under Wine (see README).

#include "nav_data_generator.h"
#include "quiet_screen.h"
#include "timing.h"

#include "test_files.h"
#include "window_driver.h"

#include "app/main_window_win32.h"
#include "ui/ui_values_win32.h"
#include "merge/nav_merger.h"
#include "res/resource.h"
#include "settings/settings.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kDatabaseRows = 30000;
constexpr int kRepeats = 5;

std::string crlf(const std::string& text) {
    std::string bytes;
    for (char c : text)
        bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return bytes;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// An X-Plane folder with the generated database and custom airports, and a start directory
// whose settings file points at it.
struct Workspace {
    std::string startDirectory;
    std::string databasePath;
    std::string databaseBytes;
};

Workspace makeWorkspace(const TempDir& dir, NavDataGenerator& generator,
                        const std::string& databaseBytes, int airportCount) {
    const std::string xplane = "X-Plane " + std::to_string(airportCount);
    Workspace workspace;
    workspace.databaseBytes = databaseBytes;
    workspace.databasePath =
        dir.writeFile(xplane + "\\Resources\\default data\\earth_nav.dat", databaseBytes);
    const std::string exePath = dir.writeFile(xplane + "\\X-Plane.exe", "");
    int n = 0;
    for (const std::string& navDat : generator.customAirports(airportCount)) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "Airport %03d", n++);
        dir.writeFile(xplane + "\\Custom Scenery\\" + folder + "\\Earth nav data\\nav.dat", navDat);
    }
    const std::string start = "start " + std::to_string(airportCount);
    workspace.startDirectory = dir.makeFolder(start);
    dir.writeFile(start + "\\q-config.qcf", crlf(exePath + "\n1018\n1021\n1\n"));
    return workspace;
}

// Starts the program as WinMain does, in the workspace's start directory: the main window
// lists the workspace's airports. Returns the main window.
HWND startProgram(const Workspace& workspace) {
    SetCurrentDirectoryA(workspace.startDirectory.c_str());
    HINSTANCE instance = GetModuleHandleA(nullptr);
    startUp(instance);
    registerMainWindowClass(instance);
    createMainWindow(instance, SW_SHOWNORMAL);
    return FindWindowA(windowClassName, windowTitle);
}

void stopProgram(HWND mainWindow) {
    DestroyWindow(mainWindow);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(windowClassName, appInstance);
    customAirports.clear();
}

// The merge job alone, on the airports the main window found, all of them selected.
double jobSeconds(const Workspace& workspace, QuietScreen& screen) {
    writeBytes(workspace.databasePath, workspace.databaseBytes);
    for (CustomAirport& airport : customAirports)
        airport.selected = 1;
    const auto start = std::chrono::steady_clock::now();
    {
        NavMerger job(screen.screen(), earthNavPath, customAirports,
                      {ConflictAction::Replace, ConflictAction::Replace, true});
        job.merge();
    }
    return secondsSince(start);
}

// "GO!" with every airport selected, until the progress dialog has closed. The driver thread
// dismisses "Process is complete!" as soon as it appears; false when it never did.
bool goSeconds(const Workspace& workspace, HWND mainWindow, double& seconds) {
    writeBytes(workspace.databasePath, workspace.databaseBytes);
    SendMessageA(airportListBox, LB_SETSEL, TRUE, -1);
    bool completed = false;
    const auto start = std::chrono::steady_clock::now();
    std::thread user([&] {
        HWND progress = driver::waitForOwnedWindow(mainWindow, "#32770", "Quillet");
        HWND box = progress ? driver::waitForOwnedWindow(progress, "#32770", "Quillet",
                                                         driver::milliseconds(600000))
                            : nullptr;
        if (box == nullptr)
            return;
        completed = driver::messageBoxText(box) == "Process is complete!";
        driver::postButtonClick(box, IDOK);
    });
    SendMessageA(GetDlgItem(mainWindow, IDC_GO), BM_CLICK, 0, 0);
    seconds = secondsSince(start);
    user.join();
    return completed;
}

struct Row {
    int airports;
    double job, go;
    bool sameOutput;
};

} // namespace

int main() {
    TempDir dir;
    NavDataGenerator generator(810);
    const std::string database = generator.database(kDatabaseRows);
    std::printf("Database: %d navaid rows, %zu bytes; settings Replace/Replace, distance "
                "restriction on. Times are medians of %d runs.\n",
                kDatabaseRows, database.size(), kRepeats);

    std::vector<Row> rows;
    bool failed = false;
    for (int airportCount : {50, 500}) {
        const Workspace workspace = makeWorkspace(dir, generator, database, airportCount);
        HWND mainWindow = startProgram(workspace);
        if (mainWindow == nullptr || customAirports.size() != std::size_t(airportCount)) {
            std::fprintf(stderr, "the main window did not list the %d airports\n", airportCount);
            return 1;
        }

        QuietScreen screen;
        std::vector<double> jobTimes;
        for (int i = 0; i < kRepeats; ++i)
            jobTimes.push_back(jobSeconds(workspace, screen));
        const std::string jobOutput = readBytes(workspace.databasePath);

        std::vector<double> goTimes;
        bool completed = true;
        for (int i = 0; i < kRepeats && completed; ++i) {
            double seconds = 0;
            completed = goSeconds(workspace, mainWindow, seconds);
            goTimes.push_back(seconds);
        }
        const bool same = readBytes(workspace.databasePath) == jobOutput;
        stopProgram(mainWindow);

        rows.push_back({airportCount, median(jobTimes), median(goTimes), same});
        failed = failed || !completed || !same || screen.questions != 0 || screen.errors != 0;
    }

    std::printf("\n%8s | %9s %12s %7s | %-22s | %s\n", "airports", "core job", "whole GO!", "ratio",
                "goal: <= 2x job + 1 s", "output");
    for (const Row& r : rows)
        std::printf("%8d | %7.0fms %10.0fms %6.1fx | %-22s | %s\n", r.airports, r.job * 1e3,
                    r.go * 1e3, r.go / r.job, r.go <= 2 * r.job + 1.0 ? "met" : "NOT MET",
                    r.sameOutput ? "same as the job's" : "DIFFERS FROM THE JOB'S");
    return failed ? 1 : 0;
}
