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
    static_cast<void>(close());
}

FileResult FileHandle::openForReading(const std::string& path) {
    static_cast<void>(close());
    path_ = path;
    handle_ = reinterpret_cast<std::intptr_t>(CreateFileA(path.c_str(), GENERIC_READ,
                                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!isOpen())
        return lastSystemError(path_);
    return {};
}

FileResult FileHandle::createNew(const std::string& path) {
    static_cast<void>(close());
    path_ = path;
    // FILE_ATTRIBUTE_NORMAL: the new file carries no read-only attribute.
    handle_ = reinterpret_cast<std::intptr_t>(CreateFileA(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!isOpen())
        return lastSystemError(path_);
    return {};
}

FileResult FileHandle::read(char* data, std::size_t size, std::size_t& got) {
    DWORD count = 0;
    if (!ReadFile(win32Handle(handle_), data, static_cast<DWORD>(std::min(size, kLargestCall)),
                  &count, nullptr))
        return lastSystemError(path_);
    got = count;
    return {};
}

FileResult FileHandle::write(const char* data, std::size_t size) {
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(win32Handle(handle_), data, static_cast<DWORD>(std::min(size, kLargestCall)),
                       &put, nullptr))
            return lastSystemError(path_);
        data += put;
        size -= put;
    }
    return {};
}

FileResult FileHandle::flushToDisk() {
    if (!FlushFileBuffers(win32Handle(handle_)))
        return lastSystemError(path_);
    return {};
}

std::optional<std::uint64_t> FileHandle::size() const {
    LARGE_INTEGER size;
    if (GetFileType(win32Handle(handle_)) != FILE_TYPE_DISK ||
        !GetFileSizeEx(win32Handle(handle_), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

FileResult FileHandle::close() {
    if (!isOpen())
        return {};
    const BOOL closed = CloseHandle(win32Handle(handle_));
    handle_ = kNone;
    if (!closed)
        return lastSystemError(path_);
    return {};
}
