#pragma once

// Pictures of the program's windows, for the README's screenshot command. Each picture is a
// function that opens its window from the running program, saves it and closes it again.

#include <windows.h>

#include <functional>
#include <string>

struct ScreenshotSession {
    std::string outputDirectory; // Windows path
    HWND mainWindow = nullptr;

    // Saves the window's pixels as <outputDirectory>\<name>.bmp; false (and a message on
    // stderr) on failure.
    bool save(HWND window, const std::string& name) const;
    // Sends the main window a command that opens a modal window, while driverCall, on a
    // second thread, waits for that window, saves it and closes it.
    void runCommand(int commandId, const std::function<void()>& driverCall) const;
};

struct Screenshot {
    const char* name;
    bool (*take)(const ScreenshotSession& session);
};
