#include "base/file_handle.h"

#include <windows.h>

#include <algorithm>

namespace {

HANDLE win32Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The most one ReadFile or WriteFile call is given.
constexpr std::size_t kLargestCall = 1u << 30;

} // namespace

static_assert(sizeof(HANDLE) == sizeof(std::intptr_t), "a handle fits the stored value");

FileHandle::~FileHandle() {
    close();
}

bool FileHandle::openForReading(const std::string& path) {
    close();
    handle_ = reinterpret_cast<std::intptr_t>(CreateFileA(path.c_str(), GENERIC_READ,
                                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return isOpen();
}

bool FileHandle::create(const std::string& path) {
    close();
    // FILE_ATTRIBUTE_NORMAL: the new file carries no read-only attribute.
    handle_ = reinterpret_cast<std::intptr_t>(CreateFileA(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return isOpen();
}

std::optional<std::size_t> FileHandle::read(char* data, std::size_t size) {
    DWORD got = 0;
    if (!ReadFile(win32Handle(handle_), data, static_cast<DWORD>(std::min(size, kLargestCall)),
                  &got, nullptr))
        return std::nullopt;
    return got;
}

bool FileHandle::write(const char* data, std::size_t size) {
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(win32Handle(handle_), data, static_cast<DWORD>(std::min(size, kLargestCall)),
                       &put, nullptr))
            return false;
        data += put;
        size -= put;
    }
    return true;
}

bool FileHandle::flushToDisk() {
    return FlushFileBuffers(win32Handle(handle_)) != 0;
}

std::optional<std::uint64_t> FileHandle::size() const {
    LARGE_INTEGER size;
    if (GetFileType(win32Handle(handle_)) != FILE_TYPE_DISK ||
        !GetFileSizeEx(win32Handle(handle_), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool FileHandle::close() {
    if (!isOpen())
        return false;
    const BOOL closed = CloseHandle(win32Handle(handle_));
    handle_ = kNone;
    return closed != 0;
}
