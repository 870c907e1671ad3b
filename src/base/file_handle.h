#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// An open file of the operating system, read and written as it is: no buffer, no line-end
// translation. On POSIX every call that a signal interrupts is made again. Closed when
// destroyed.
class FileHandle {
  public:
    FileHandle() = default;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    bool openForReading(const std::string& path);
    // Creates an ordinary writable file, emptying a file of that name.
    bool create(const std::string& path);
    bool isOpen() const { return handle_ != kNone; }

    // Reads up to size bytes: how many were read, 0 at the end of the file, none on failure.
    std::optional<std::size_t> read(char* data, std::size_t size);
    // Writes all of data.
    bool write(const char* data, std::size_t size);
    // Waits until everything written has reached the disk.
    bool flushToDisk();
    // The size of a regular file; none for anything else.
    std::optional<std::uint64_t> size() const;
    bool close();

  private:
    static constexpr std::intptr_t kNone = -1; // neither a descriptor nor a valid handle
    std::intptr_t handle_ = kNone;
};
