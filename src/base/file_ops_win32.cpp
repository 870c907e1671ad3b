#include "base/file_ops.h"

#include <windows.h>

FileResult replaceFile(const std::string& replacement, const std::string& target) {
    // A rename within a volume is a journaled change of NTFS; write-through makes a move done
    // as a copy reach the disk before the call returns.
    if (!MoveFileExA(replacement.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastSystemError(target);
    return {};
}

FileResult linkFile(const std::string& existing, const std::string& newName) {
    if (!CreateHardLinkA(newName.c_str(), existing.c_str(), nullptr))
        return lastSystemError(newName);
    return {};
}

FileResult makeFolders(const std::string& folder) {
    // After a drive's root ("C:\\"), each folder in turn.
    for (std::size_t end = folder.find_first_of("\\/", 3);;
         end = folder.find_first_of("\\/", end + 1)) {
        const std::string part = folder.substr(0, end);
        if (GetFileAttributesA(part.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return lastSystemError(folder);
        if (end == std::string::npos)
            return {};
    }
}

std::optional<FileStamp> fileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return FileStamp{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     static_cast<std::int64_t>(
                         (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime)};
}

std::string fileBehind(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    char behind[32768];
    const DWORD length =
        GetFinalPathNameByHandleA(file, behind, sizeof behind, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= sizeof behind)
        return path;
    std::string resolved(behind, length);
    // A drive's file is named "\\?\C:\...", a share's "\\?\UNC\server\...".
    if (resolved.rfind("\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + resolved.substr(8);
    if (resolved.rfind("\\\\?\\", 0) == 0)
        return resolved.substr(4);
    return resolved;
}

std::uint32_t nameCountOf(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known && information.nNumberOfLinks > 0 ? information.nNumberOfLinks : 1;
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}
