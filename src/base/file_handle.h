#pragma once

#include "base/file_error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// An open file of the operating system, read and written as it is: no buffer, no line-end
// translation. Every failure is returned with the file's path and the system's reason, read
// right at the failing call. On POSIX every call that a signal interrupts is made again.
// Closed when destroyed.
class FileHandle {
  public:
    FileHandle() = default;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    FileResult openForReading(const std::string& path);
    // Creates a new ordinary writable file; fails when anything of that name exists already.
    FileResult createNew(const std::string& path);
    bool isOpen() const { return handle_ != kNone; }

    // Reads up to size bytes; got is how many were read, 0 at the end of the file.
    FileResult read(char* data, std::size_t size, std::size_t& got);
    // Writes all of data.
    FileResult write(const char* data, std::size_t size);
    // Waits until everything written has reached the disk.
    FileResult flushToDisk();
    // The size of a regular file; none for anything else.
    std::optional<std::uint64_t> size() const;
    // Closing a handle that is not open does nothing.
    FileResult close();

  private:
    static constexpr std::intptr_t kNone = -1; // neither a descriptor nor a valid handle
    std::intptr_t handle_ = kNone;
    std::string path_; // the path it was opened with, named in its errors
};
