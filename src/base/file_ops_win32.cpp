#include "base/file_ops.h"

#include <sys/stat.h>
#include <windows.h>

bool replaceFile(const std::string& replacement, const std::string& target) {
    // A rename within a volume is a journaled change of NTFS; write-through makes a move done
    // as a copy reach the disk before the call returns.
    return MoveFileExA(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool isReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::optional<std::size_t> regularFileSize(std::FILE* file) {
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return std::nullopt;
    return static_cast<std::size_t>(info.st_size);
}
