#include "merge/file_ops.h"

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
