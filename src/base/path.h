#pragma once

#include <string>
#include <string_view>

// Paths of the platform the program runs on.

// The platform's path separator: a backslash on Windows, a slash elsewhere.
extern const char kPathSeparator;

std::string joinPath(std::string_view directory, std::string_view name);

// The last part of a path, after its last separator (on Windows a slash separates too).
std::string_view fileName(std::string_view path);

// The user's own folder for Quillet's settings: on Windows %APPDATA%\Quillet; elsewhere none
// (an empty text), as settings stay beside the program.
std::string userSettingsDirectory();
