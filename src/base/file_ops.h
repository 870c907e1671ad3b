#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

// The file operations whose safe form differs between platforms.

// Copies a file, replacing an existing target. False on any failure.
bool copyFile(const std::string& from, const std::string& to);

// Puts the finished file `replacement` in the place of `target` in one atomic step,
// replacing it. False on failure, leaving target as it was.
bool replaceFile(const std::string& replacement, const std::string& target);

// Whether the path names a file (not a folder).
bool isFile(const std::string& path);

// The size of an open file when it is a regular file.
std::optional<std::size_t> regularFileSize(std::FILE* file);
