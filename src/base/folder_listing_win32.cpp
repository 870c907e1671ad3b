#include "base/folder_listing.h"

#include <sys/stat.h>
#include <windows.h>

#include <cstring>

std::optional<std::vector<std::string>> folderEntries(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<std::string> names;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

bool pathExists(const std::string& path) {
    struct _stat64 info;
    return _stat64(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct _stat64 info;
    return _stat64(path.c_str(), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFDIR;
}
