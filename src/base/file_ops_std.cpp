#include "base/file_ops.h"

#include "base/file_handle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

FileResult linkFile(const std::string& existing, const std::string& newName) {
    if (link(existing.c_str(), newName.c_str()) != 0)
        return lastSystemError(newName);
    return {};
}

std::optional<FileStamp> fileStampOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                         info.st_mtim.tv_nsec};
}

std::string fileBehind(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string behind(resolved);
    std::free(resolved);
    return behind;
}

std::uint32_t nameCountOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || info.st_nlink < 1)
        return 1;
    return static_cast<std::uint32_t>(info.st_nlink);
}

bool isReadOnlyFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

FileResult makeFolders(const std::string& folder) {
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        struct stat info;
        if (!part.empty() && stat(part.c_str(), &info) != 0 && mkdir(part.c_str(), 0777) != 0 &&
            errno != EEXIST)
            return lastSystemError(folder);
        if (end == std::string::npos)
            return {};
    }
}

bool isFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
