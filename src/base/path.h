#pragma once

#include <string>
#include <string_view>

// Paths of the platform the program runs on.

// The platform's path separator: a backslash on Windows, a slash elsewhere.
extern const char kPathSeparator;

std::string joinPath(std::string_view directory, std::string_view name);
