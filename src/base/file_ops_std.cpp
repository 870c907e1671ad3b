#include "base/file_ops.h"

#include <sys/stat.h>

#include <filesystem>

bool copyFile(const std::string& from, const std::string& to) {
    std::error_code error;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                      error);
}

bool replaceFile(const std::string& replacement, const std::string& target) {
    // POSIX rename replaces the target atomically.
    std::error_code error;
    std::filesystem::rename(replacement, target, error);
    return !error;
}

bool isFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::optional<std::size_t> regularFileSize(std::FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::size_t>(info.st_size);
}
