#include "base/file_ops.h"

#include <sys/stat.h>
#include <windows.h>

bool copyFile(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool replaceFile(const std::string& replacement, const std::string& target) {
    return MoveFileExA(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::size_t> regularFileSize(std::FILE* file) {
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return std::nullopt;
    return static_cast<std::size_t>(info.st_size);
}
