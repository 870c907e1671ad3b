#pragma once

#include <optional>
#include <string>
#include <vector>

// Folders of the platform the program runs on.

// The names of a folder's entries, files and folders alike, in the order the platform lists
// them; "." and ".." are left out. None when the folder cannot be listed.
std::optional<std::vector<std::string>> folderEntries(const std::string& folder);

// True when a file or a folder exists at path.
bool pathExists(const std::string& path);

bool isFolder(const std::string& path);
