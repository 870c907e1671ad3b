#include "base/file_lock.h"

#include <windows.h>

namespace {
HANDLE win32Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}
} // namespace

FileLock::~FileLock() {
    release();
}

FileLock::Outcome FileLock::tryLock(const std::string& path) {
    release();
    // Removed when its last handle closes; until then no one else opens it anew.
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A lock file that its holder has just closed cannot be opened until it is gone.
        const bool busy = GetLastError() == ERROR_ACCESS_DENIED;
        error_ = lastSystemError(path);
        return busy ? Outcome::Busy : Outcome::Failed;
    }
    OVERLAPPED whole = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &whole)) {
        const bool busy = GetLastError() == ERROR_LOCK_VIOLATION;
        error_ = lastSystemError(path);
        CloseHandle(file);
        return busy ? Outcome::Busy : Outcome::Failed;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    path_ = path;
    return Outcome::Locked;
}

void FileLock::release() {
    if (handle_ != kNone)
        CloseHandle(win32Handle(handle_)); // which releases the lock
    handle_ = kNone;
}
