#pragma once

#include "test_files.h"
#include "window_driver.h"

#include "app/main_window_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// An X-Plane folder below a scratch folder, with the given Custom Scenery sub-folders.
struct FakeXPlane {
    std::string directory; // with its trailing backslash
    std::string exePath;
};
struct SceneryFolder {
    std::string name;
    bool hasNavData;
};
FakeXPlane makeXPlaneFolder(const TempDir& dir, const std::string& relative,
                            const std::vector<SceneryFolder>& folders);

// The program started as WinMain starts it, in a scratch start directory: settings loaded,
// class registered, main window created and shown. Torn down again after each test.
class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the settings file that start() will load (text with "\n", written as CR LF).
    void writeSettingsFile(const std::string& text) const;
    std::string settingsFilePath() const;
    // Starts the program; returns the main window.
    HWND start();
    // Destroys the main window, drops its quit message and unregisters the class, so that
    // the program can be started again.
    void stop();

    // The main window's state: its list box and the airport table behind it.
    MainWindowState& state() const;
    HWND listBox() const { return state().airportList; }
    std::vector<CustomAirport>& table() const { return state().scenery.airports; }

    std::vector<std::string> listItems() const;
    std::vector<std::string> tableFolders() const;
    std::string folderLabel() const;
    std::string mergeTargetLine() const;

    // Runs a menu command of the main window that opens a modal window, while driverCall
    // drives it from a second thread.
    void runMenuCommand(int commandId, const std::function<void()>& driverCall);

    TempDir dir;
    std::string startDirectory;
    HWND mainWindow = nullptr;

  private:
    std::string savedCurrentDirectory_;
};
