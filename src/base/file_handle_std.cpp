#include "base/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Makes a call again for as long as a signal interrupts it.
template <typename SystemCall> auto retryInterrupted(SystemCall call) {
    auto result = call();
    while (result == -1 && errno == EINTR)
        result = call();
    return result;
}

int descriptorOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

FileHandle::~FileHandle() {
    static_cast<void>(close());
}

FileResult FileHandle::openForReading(const std::string& path) {
    static_cast<void>(close());
    path_ = path;
    // Without waiting: a FIFO would block the open until a writer came.
    handle_ =
        retryInterrupted([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); });
    if (!isOpen())
        return lastSystemError(path_);
    return {};
}

FileResult FileHandle::createNew(const std::string& path) {
    static_cast<void>(close());
    path_ = path;
    // Read and write for everyone the umask lets through, as any new file.
    handle_ = retryInterrupted(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
    if (!isOpen())
        return lastSystemError(path_);
    return {};
}

FileResult FileHandle::read(char* data, std::size_t size, std::size_t& got) {
    const ssize_t count =
        retryInterrupted([&] { return ::read(descriptorOf(handle_), data, size); });
    if (count < 0)
        return lastSystemError(path_);
    got = static_cast<std::size_t>(count);
    return {};
}

FileResult FileHandle::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put =
            retryInterrupted([&] { return ::write(descriptorOf(handle_), data, size); });
        if (put < 0)
            return lastSystemError(path_);
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return {};
}

FileResult FileHandle::flushToDisk() {
    if (retryInterrupted([&] { return ::fsync(descriptorOf(handle_)); }) != 0)
        return lastSystemError(path_);
    return {};
}

std::optional<std::uint64_t> FileHandle::size() const {
    struct stat info;
    if (fstat(descriptorOf(handle_), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

FileResult FileHandle::close() {
    if (!isOpen())
        return {};
    // Not made again when interrupted: the descriptor is released whatever close returns.
    const int result = ::close(descriptorOf(handle_));
    handle_ = kNone;
    if (result != 0 && errno != EINTR)
        return lastSystemError(path_);
    return {};
}
