#pragma once

#include "base/file_error.h"

#include <cstdint>
#include <string>

// A lock that one program at a time holds on a lock file, an empty file of its own beside what
// it guards. The system releases it when the program ends, however it ends (flock on POSIX,
// LockFileEx on Windows). The lock file is there only while the lock is held: its holder
// removes it before releasing the lock, and a program that locked a file removed meanwhile
// tries again.
class FileLock {
  public:
    enum class Outcome { Locked, Busy, Failed };

    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Takes the lock on the file at path (made when missing) without waiting: Busy when another
    // holds it, Failed (with error()) when the file cannot be made or locked.
    Outcome tryLock(const std::string& path);
    const FileError& error() const { return error_; }

  private:
    void release();

    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;
    std::string path_;
    FileError error_;
};
