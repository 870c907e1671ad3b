#include "interposed_calls_posix.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

struct Failure {
    int error = 0;
    int after = 0;
    int times = 0;
};

constexpr int kCallKinds = 5;

// The active log: its failures and entries, guarded by gMutex.
std::mutex gMutex;
bool gActive = false;
Failure gFailures[kCallKinds];
std::vector<std::string> gEntries;

// True, with errno set, when this call is one to fail.
bool failsNow(Call call) {
    std::lock_guard<std::mutex> lock(gMutex);
    Failure& failure = gFailures[static_cast<int>(call)];
    if (!gActive || failure.times == 0)
        return false;
    if (failure.after > 0) {
        --failure.after;
        return false;
    }
    --failure.times;
    errno = failure.error;
    return true;
}

void log(const std::string& entry) {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gActive)
        gEntries.push_back(entry);
}

std::string pathOf(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[4096];
    const ssize_t size = readlink(link, path, sizeof path);
    return size < 0 ? "?" : std::string(path, static_cast<std::size_t>(size));
}

} // namespace

CallLog::CallLog() {
    std::lock_guard<std::mutex> lock(gMutex);
    gActive = true;
    gEntries.clear();
    for (Failure& failure : gFailures)
        failure = {};
}

CallLog::~CallLog() {
    std::lock_guard<std::mutex> lock(gMutex);
    gActive = false;
}

void CallLog::failNext(Call call, int error, int times, int after) {
    std::lock_guard<std::mutex> lock(gMutex);
    gFailures[static_cast<int>(call)] = {error, after, times};
}

int CallLog::failuresLeft(Call call) const {
    std::lock_guard<std::mutex> lock(gMutex);
    return gFailures[static_cast<int>(call)].times;
}

std::vector<std::string> CallLog::entries() const {
    std::lock_guard<std::mutex> lock(gMutex);
    return gEntries;
}

extern "C" {

int open(const char* path, int flags, ...) {
    int mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, int);
        va_end(arguments);
    }
    if (failsNow(Call::Open))
        return -1;
    return static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

ssize_t read(int fd, void* buffer, size_t size) {
    if (failsNow(Call::Read))
        return -1;
    return syscall(SYS_read, fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, size_t size) {
    if (failsNow(Call::Write))
        return -1;
    return syscall(SYS_write, fd, buffer, size);
}

int fsync(int fd) {
    log("fsync " + pathOf(fd));
    if (failsNow(Call::Fsync))
        return -1;
    return static_cast<int>(syscall(SYS_fsync, fd));
}

int rename(const char* from, const char* to) {
    log(std::string("rename ") + from + " " + to);
    if (failsNow(Call::Rename))
        return -1;
    return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 0));
}

} // extern "C"
