#include "base/file_error.h"

#include <windows.h>

FileError lastSystemError(const std::string& path) {
    const DWORD error = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    if (length == 0)
        return FileError{path, "system error " + std::to_string(error)};
    std::string reason(text, length);
    LocalFree(text);
    // The system's messages end with CR LF.
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return FileError{path, std::move(reason)};
}
