// What the progress dialog adds to a merge under Wine, measured black-box: a whole "GO!" run
// at 1 and at 500 custom airports against the I/O floor of the same work, on a generated 810
// database of a real one's size. What the 499 more airports add to the whole run is compared
// with what they add to the floor: (GO!(500) - GO!(1)) / (floor(500) - floor(1)).
//
// The whole run is the real thing: the main window's "GO!" button, the progress dialog and its
// worker thread, and "Process is complete!", dismissed by a driver thread as soon as it
// appears. The floor is the same file work with nothing else: list the Custom Scenery folders,
// read every nav.dat and the database, copy it, write a file of its size, swap it in. The
// merge job alone, with a screen that shows nothing, is timed too, and every run's output must
// equal the job's. Settings Replace/Replace (nothing is asked), distance restriction on.
//
// For comparison, the same run is timed with progress shown as the program showed it before
// its dialog took that over: by the worker itself, at most every 30 ms and at the start of
// each stage (each airport's load is one). That run has the same dialog template and the same
// job; its dialog procedure and worker are the benchmark's own (StagewiseProgress below).
// Run under Wine (see README).

#include "nav_data_generator.h"
#include "quiet_screen.h"
#include "timing.h"

#include "test_files.h"
#include "window_driver.h"

#include "app/main_window_win32.h"
#include "app/start_up_win32.h"
#include "merge/merge_job.h"
#include "merge/shared_progress.h"
#include "res/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kDatabaseRows = 26736;
constexpr int kRepeats = 11;
constexpr int kAirportCounts[] = {1, 500};
constexpr MergeOptions kOptions = {ConflictAction::Replace, ConflictAction::Replace, true};

// An X-Plane folder with the generated database and custom airports, and a start directory
// whose settings file points at it.
struct Workspace {
    int airports = 0;
    std::string xplaneDirectory; // with its trailing backslash
    std::string startDirectory;
    std::string databasePath;
    std::string databaseBytes;
};

Workspace makeWorkspace(const TempDir& dir, NavDataGenerator& generator,
                        const std::string& databaseBytes, int airportCount) {
    const std::string xplane = "X-Plane " + std::to_string(airportCount);
    Workspace workspace;
    workspace.airports = airportCount;
    workspace.xplaneDirectory = dir.makeFolder(xplane) + "\\";
    workspace.databaseBytes = databaseBytes;
    workspace.databasePath =
        dir.writeFile(xplane + "\\Resources\\default data\\earth_nav.dat", databaseBytes);
    const std::string exePath = dir.writeFile(xplane + "\\X-Plane.exe", "");
    int n = 0;
    for (const std::string& navDat : generator.customAirports(airportCount, NavFormat::V810)) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "Airport %03d", n++);
        dir.writeFile(xplane + "\\Custom Scenery\\" + folder + "\\Earth nav data\\nav.dat", navDat);
    }
    const std::string start = "start " + std::to_string(airportCount);
    workspace.startDirectory = dir.makeFolder(start);
    dir.writeFile(start + "\\q-config.qcf", crlf(exePath + "\n1018\n1021\n1\n"));
    return workspace;
}

// ---- The I/O floor.

// Reads a whole file into buffer; false when it cannot.
bool readWhole(const std::string& path, std::string& buffer) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::fseek(file, 0, SEEK_END);
    buffer.resize(static_cast<std::size_t>(std::ftell(file)));
    std::rewind(file);
    const bool read = std::fread(buffer.data(), 1, buffer.size(), file) == buffer.size();
    std::fclose(file);
    return read;
}

// The file work of a whole run with nothing else: list the Custom Scenery folders, read every
// folder's nav.dat and the database whole, back the database up, write a file of its size
// beside it and swap that in. False when a step failed.
bool ioFloorSeconds(const Workspace& workspace, double& seconds) {
    writeBytes(workspace.databasePath, workspace.databaseBytes);
    const std::string scenery = workspace.xplaneDirectory + "Custom Scenery\\";
    const std::string& database = workspace.databasePath;
    const std::string newPath = database + ".new";
    bool ok = true;
    const auto start = std::chrono::steady_clock::now();

    std::vector<std::string> folders;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((scenery + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (entry.cFileName[0] != '.')
                folders.push_back(entry.cFileName);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::string buffer;
    for (const std::string& folder : folders)
        ok = readWhole(scenery + folder + "\\Earth nav data\\nav.dat", buffer) && ok;
    ok = readWhole(database, buffer) && ok;
    ok = CopyFileA(database.c_str(), (database + ".bak").c_str(), FALSE) != 0 && ok;
    std::FILE* file = std::fopen(newPath.c_str(), "wb");
    ok = file != nullptr && std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size() &&
         std::fclose(file) == 0 && ok;
    ok = MoveFileExA(newPath.c_str(), database.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 &&
         ok;

    seconds = secondsSince(start);
    return ok && folders.size() == static_cast<std::size_t>(workspace.airports);
}

// ---- The program.

// Starts the program as WinMain does, in the workspace's start directory. Returns the main
// window, or nullptr when it does not list the workspace's airports.
HWND startProgram(const Workspace& workspace) {
    SetCurrentDirectoryA(workspace.startDirectory.c_str());
    HINSTANCE instance = GetModuleHandleA(nullptr);
    startUp(instance);
    registerMainWindowClass(instance);
    createMainWindow(instance, SW_SHOWNORMAL);
    HWND mainWindow = FindWindowA(windowClassName(), windowTitle());
    if (mainWindow == nullptr || mainWindowState(mainWindow)->scenery.airports.size() !=
                                     static_cast<std::size_t>(workspace.airports))
        return nullptr;
    return mainWindow;
}

void stopProgram(HWND mainWindow) {
    DestroyWindow(mainWindow);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(windowClassName(), appInstance());
}

// The merge job alone, on the airports the main window found, all of them selected.
double jobSeconds(const Workspace& workspace, XPlaneScenery& scenery, QuietScreen& screen) {
    writeBytes(workspace.databasePath, workspace.databaseBytes);
    for (CustomAirport& airport : scenery.airports)
        airport.selected = true;
    const auto start = std::chrono::steady_clock::now();
    runMerge({scenery.mergeTarget.earthNavPath, pickedAirports(scenery.airports), kOptions},
             screen.screen());
    return secondsSince(start);
}

// ---- Progress shown as before: by the worker itself, at the start of each stage and at most
// every 30 ms, the bar's updates queued without waiting, the status text sent and waited for.

// The progress dialog's bar and status line, shown from the worker thread.
class WorkerView : public ProgressView {
  public:
    WorkerView(HWND dialog, HWND bar) : dialog_(dialog), bar_(bar) {}
    void showRange(std::uint16_t minimum, std::uint16_t maximum) override {
        SendNotifyMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
    }
    void showPosition(int position) override {
        SendNotifyMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    void showText(const std::string& text) override {
        SetDlgItemTextA(dialog_, IDC_STATIC, text.c_str());
    }
    // Returns once the windows' thread has handled every update given so far.
    void waitUntilShown() { SendMessageA(bar_, WM_NULL, 0, 0); }

  private:
    HWND dialog_;
    HWND bar_;
};

class StagewiseProgress : public ProgressDisplay, public StatusLine {
  public:
    explicit StagewiseProgress(WorkerView& view) : view_(view) {}
    void setRange(std::uint16_t minimum, std::uint16_t maximum) override {
        showNow(); // a new stage: the user sees where the last one ended
        state_.setRange(minimum, maximum);
        showWhenDue();
    }
    void setStep(int step) override { state_.setStep(step); }
    void setPosition(int position) override {
        state_.setPosition(position);
        showWhenDue();
    }
    void step() override {
        state_.step();
        showWhenDue();
    }
    void setText(const std::string& text) override {
        state_.setText(text);
        showWhenDue();
    }
    void showNow() {
        state_.showChanges(view_);
        lastShown_ = std::chrono::steady_clock::now();
    }

  private:
    void showWhenDue() {
        if (std::chrono::steady_clock::now() - lastShown_ >= std::chrono::milliseconds(30))
            showNow();
    }

    WorkerView& view_;
    SharedProgress state_; // for its bar state only: this thread alone uses it
    std::chrono::steady_clock::time_point lastShown_ = std::chrono::steady_clock::now();
};

// The stagewise dialog's state, handed through DialogBoxParamA's lParam and to its worker.
struct StagewiseRun {
    const XPlaneScenery& scenery;
    HWND dialog;
    HWND bar;
    bool started;
};

StagewiseRun& stagewiseRunOf(HWND dialog) {
    return *reinterpret_cast<StagewiseRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

DWORD WINAPI stagewiseWorker(LPVOID parameter) {
    const StagewiseRun& run = *static_cast<StagewiseRun*>(parameter);
    HWND dialog = run.dialog;
    WorkerView view(dialog, run.bar);
    StagewiseProgress progress(view);
    QuietScreen quiet;
    runMerge({run.scenery.mergeTarget.earthNavPath, pickedAirports(run.scenery.airports), kOptions},
             {progress, progress, quiet, quiet});
    progress.showNow();
    view.waitUntilShown();
    MessageBoxA(dialog, "Process is complete!", windowTitle(), MB_OK);
    EndDialog(dialog, 0);
    return 0;
}

// The progress dialog set up as the program sets it up; its worker shows progress as before.
INT_PTR CALLBACK stagewiseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        StagewiseRun& run = stagewiseRunOf(dialog);
        run.dialog = dialog;
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        run.bar = CreateWindowExA(0, PROGRESS_CLASSA, "ProgressBar", WS_CHILD | WS_VISIBLE, 10, 35,
                                  375, 20, dialog, nullptr, appInstance(), nullptr);
        SendMessageA(run.bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendMessageA(run.bar, PBM_SETSTEP, 1, 0);
        return TRUE;
    }
    case WM_SHOWWINDOW: {
        StagewiseRun& run = stagewiseRunOf(dialog);
        if (wParam && !run.started) {
            run.started = true;
            DWORD id = 0;
            CloseHandle(CreateThread(nullptr, 0, stagewiseWorker, &run, 0, &id));
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// ---- Whole runs.

// How a whole run shows its progress: the program's way, or the earlier one.
enum class Display { Program, Stagewise };

// A whole run with every airport selected, until the progress dialog has closed: "GO!", or
// the same dialog with progress shown the earlier way. The driver thread dismisses "Process
// is complete!" as soon as it appears; false when it never did.
bool runSeconds(const Workspace& workspace, HWND mainWindow, Display display, double& seconds) {
    writeBytes(workspace.databasePath, workspace.databaseBytes);
    MainWindowState& state = *mainWindowState(mainWindow);
    SendMessageA(state.airportList, LB_SETSEL, TRUE, -1);
    for (CustomAirport& airport : state.scenery.airports)
        airport.selected = true;
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
    if (display == Display::Program) {
        SendMessageA(GetDlgItem(mainWindow, IDC_GO), BM_CLICK, 0, 0);
    } else {
        StagewiseRun run = {state.scenery, nullptr, nullptr, false};
        DialogBoxParamA(appInstance(), MAKEINTRESOURCEA(IDD_PROGRESS), mainWindow,
                        stagewiseDialogProc, reinterpret_cast<LPARAM>(&run));
    }
    seconds = secondsSince(start);
    user.join();
    return completed;
}

// Every time taken at one number of airports.
struct Times {
    std::vector<double> floor, job, go, stagewise;
};

// One round: each number of airports in turn, so that a change in the machine's load reaches
// all of them alike. False when a run went wrong.
bool measureRound(const std::vector<Workspace>& workspaces, std::vector<Times>& times) {
    bool ok = true;
    for (std::size_t w = 0; w < workspaces.size(); ++w) {
        const Workspace& workspace = workspaces[w];
        const int airports = workspace.airports;
        HWND mainWindow = startProgram(workspace);
        if (mainWindow == nullptr) {
            std::fprintf(stderr, "the main window did not list the %d airports\n", airports);
            return false;
        }
        double seconds = 0;
        if (!ioFloorSeconds(workspace, seconds)) {
            std::fprintf(stderr, "the I/O floor failed at %d airports\n", airports);
            ok = false;
        }
        times[w].floor.push_back(seconds);

        QuietScreen screen;
        times[w].job.push_back(jobSeconds(workspace, mainWindowState(mainWindow)->scenery, screen));
        const std::string jobOutput = readBytes(workspace.databasePath);
        if (screen.questions != 0 || screen.errors != 0) {
            std::fprintf(stderr, "the job asked or failed at %d airports\n", airports);
            ok = false;
        }

        for (Display display : {Display::Program, Display::Stagewise}) {
            const char* name = display == Display::Program ? "GO!" : "the stagewise run";
            if (!runSeconds(workspace, mainWindow, display, seconds)) {
                std::fprintf(stderr, "no \"Process is complete!\" in %s at %d airports\n", name,
                             airports);
                ok = false;
            }
            (display == Display::Program ? times[w].go : times[w].stagewise).push_back(seconds);
            if (readBytes(workspace.databasePath) != jobOutput) {
                std::fprintf(stderr, "%s wrote another file than the job at %d airports\n", name,
                             airports);
                ok = false;
            }
        }
        stopProgram(mainWindow);
    }
    return ok;
}

} // namespace

int main() {
    TempDir dir;
    NavDataGenerator generator(810);
    const std::string database = generator.database(kDatabaseRows);
    std::vector<Workspace> workspaces;
    for (int airportCount : kAirportCounts)
        workspaces.push_back(makeWorkspace(dir, generator, database, airportCount));
    std::printf("Database: %d navaid rows (810), %zu bytes; custom airports of 11 to 13 rows; "
                "settings Replace/Replace, distance restriction on. Times are medians of %d "
                "runs.\n",
                kDatabaseRows, database.size(), kRepeats);

    std::vector<Times> times(workspaces.size());
    for (int i = 0; i < kRepeats; ++i)
        if (!measureRound(workspaces, times))
            return 1;

    std::printf("\n%8s | %9s %9s | %9s %14s\n", "airports", "I/O floor", "job alone", "GO!",
                "GO! stagewise");
    for (std::size_t w = 0; w < workspaces.size(); ++w)
        std::printf("%8d | %7.0fms %7.0fms | %7.0fms %12.0fms\n", workspaces[w].airports,
                    median(times[w].floor) * 1e3, median(times[w].job) * 1e3,
                    median(times[w].go) * 1e3, median(times[w].stagewise) * 1e3);

    // What the more airports add to each, against what they add to the floor.
    auto added = [&times](std::vector<double> Times::*column) {
        return median(times.back().*column) - median(times.front().*column);
    };
    const double floorAdded = added(&Times::floor);
    std::printf("\n%d more airports add %.0f ms to the I/O floor, %.0f ms to the job alone,\n",
                workspaces.back().airports - workspaces.front().airports, floorAdded * 1e3,
                added(&Times::job) * 1e3);
    const struct {
        const char* name;
        std::vector<double> Times::*column;
    } runs[] = {{"GO!", &Times::go},
                {"GO! with progress shown stagewise by the worker (as before)", &Times::stagewise}};
    for (const auto& run : runs) {
        const double ratio = added(run.column) / floorAdded;
        std::printf("  %.0f ms to %s: %.1fx the floor's (goal: at most 2x, %s)\n",
                    added(run.column) * 1e3, run.name, ratio, ratio <= 2 ? "met" : "not met");
    }
    return 0;
}
