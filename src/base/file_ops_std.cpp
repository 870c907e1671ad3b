#include "base/file_ops.h"

#include "base/file_handle.h"

#include <sys/stat.h>

#include <cstdio>

namespace {

// Flushes a folder's entries to disk, so that a rename in it survives a power loss. Best
// effort: some file systems cannot flush a folder, and the rename has happened anyway.
void flushFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : path.substr(0, slash);
    // On POSIX a folder opens for reading like a file.
    FileHandle folder;
    if (folder.openForReading(folderPath))
        static_cast<void>(folder.flushToDisk());
}

} // namespace

FileResult replaceFile(const std::string& replacement, const std::string& target) {
    // POSIX rename replaces the target atomically.
    if (std::rename(replacement.c_str(), target.c_str()) != 0)
        return lastSystemError(target);
    flushFolderOf(target);
    return {};
}

bool isReadOnlyFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool isFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
