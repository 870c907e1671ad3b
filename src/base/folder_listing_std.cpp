#include "base/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

std::optional<std::vector<std::string>> folderEntries(const std::string& folder) {
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(listing);
    return names;
}

bool pathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
