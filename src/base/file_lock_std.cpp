#include "base/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// Opens the lock file at path (made when missing) and locks it without waiting.
FileLock::Outcome lockOnce(const std::string& path, int& descriptor, FileError& error) {
    do {
        descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    } while (descriptor == -1 && errno == EINTR);
    if (descriptor == -1) {
        error = lastSystemError(path);
        return FileLock::Outcome::Failed;
    }
    int locked = -1;
    do {
        locked = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (locked == -1 && errno == EINTR);
    if (locked == 0)
        return FileLock::Outcome::Locked;
    const bool busy = errno == EWOULDBLOCK;
    error = lastSystemError(path);
    ::close(descriptor);
    return busy ? FileLock::Outcome::Busy : FileLock::Outcome::Failed;
}

// Whether the open file is the one the path names now.
bool isNamedBy(int descriptor, const std::string& path) {
    struct stat opened, named;
    return fstat(descriptor, &opened) == 0 && stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}
} // namespace

FileLock::~FileLock() {
    release();
}

FileLock::Outcome FileLock::tryLock(const std::string& path) {
    release();
    for (;;) {
        int descriptor = -1;
        const Outcome outcome = lockOnce(path, descriptor, error_);
        if (outcome != Outcome::Locked)
            return outcome;
        // A file that its holder removed before releasing it is no lock any more: again.
        if (isNamedBy(descriptor, path)) {
            handle_ = descriptor;
            path_ = path;
            return Outcome::Locked;
        }
        ::close(descriptor);
    }
}

void FileLock::release() {
    if (handle_ == kNone)
        return;
    ::unlink(path_.c_str());
    ::close(static_cast<int>(handle_));
    handle_ = kNone;
}
