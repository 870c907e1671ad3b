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
    close();
}

bool FileHandle::openForReading(const std::string& path) {
    close();
    handle_ = retryInterrupted([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    return isOpen();
}

bool FileHandle::create(const std::string& path) {
    close();
    // Read and write for everyone the umask lets through, as any new file.
    handle_ = retryInterrupted(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); });
    return isOpen();
}

std::optional<std::size_t> FileHandle::read(char* data, std::size_t size) {
    const ssize_t got = retryInterrupted([&] { return ::read(descriptorOf(handle_), data, size); });
    if (got < 0)
        return std::nullopt;
    return static_cast<std::size_t>(got);
}

bool FileHandle::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put =
            retryInterrupted([&] { return ::write(descriptorOf(handle_), data, size); });
        if (put < 0)
            return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool FileHandle::flushToDisk() {
    return retryInterrupted([&] { return ::fsync(descriptorOf(handle_)); }) == 0;
}

std::optional<std::uint64_t> FileHandle::size() const {
    struct stat info;
    if (fstat(descriptorOf(handle_), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool FileHandle::close() {
    if (!isOpen())
        return false;
    // Not made again when interrupted: the descriptor is released whatever close returns.
    const int result = ::close(descriptorOf(handle_));
    handle_ = kNone;
    return result == 0 || errno == EINTR;
}
