#pragma once

#include "base/atomic_file_writer.h"
#include "base/file_error.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Copying and replacing files so that a target is always either its old self or the whole
// new file, even after a failure or a power loss.

// Copies a file over `to` with an AtomicFileWriter: the copy, an ordinary writable file, is
// flushed to disk and swapped in once it is as long as the source was when opened. On failure
// `to` is as it was and no temporary file is left.
FileResult copyFile(const std::string& from, const std::string& to);

// A copy of a file written beside its target and flushed to disk, not yet in the target's
// place: commit() puts it there, its destruction removes it.
struct PendingCopy {
    std::unique_ptr<AtomicFileWriter> file; // none when the source could not be opened
    FileResult written;                     // the error names the source or the target

    // The failure of the writing, or else of the swap.
    FileResult commit() { return written ? file->commit() : written; }
};
// All of copyFile but the swap, for a caller that puts the copy in place later.
PendingCopy writeCopy(const std::string& from, const std::string& to);

// Puts the finished file `replacement` in the place of `target` in one atomic step,
// replacing it, and makes the change itself reach the disk. The caller flushes the
// replacement's data first. On failure target is as it was; the error names target.
FileResult replaceFile(const std::string& replacement, const std::string& target);

// A file kept aside under a name no other writer uses, while a step replaces it, so that it
// can be put back should a later step fail. It is kept as a second name of the same file (a
// hard link) where the file system has them, so the file never leaves its place; else it is
// moved. Destroyed without being put back, the kept file is removed.
class FileKeptAside {
  public:
    FileKeptAside() = default;
    FileKeptAside(const FileKeptAside&) = delete;
    FileKeptAside& operator=(const FileKeptAside&) = delete;
    ~FileKeptAside();

    // Keeps the file at path aside; there is nothing to keep when no file is there.
    FileResult keep(const std::string& path);
    // Puts the kept file back in its place, over what is there now; without one, removes what
    // is there now.
    FileResult putBack();

  private:
    std::string path_;
    std::string kept_; // empty while nothing is kept
    bool active_ = false;
};

// Gives the file `existing` the second name `newName` (a hard link).
FileResult linkFile(const std::string& existing, const std::string& newName);

// What tells one state of a file from the next: its size and the time it was last written.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t writtenAt = 0; // in the system's own units
    bool operator==(const FileStamp& other) const {
        return size == other.size && writtenAt == other.writtenAt;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
// None when nothing is there.
std::optional<FileStamp> fileStampOf(const std::string& path);

// The file that a path names through symbolic links: the path itself where it names no link
// (or nothing).
std::string fileBehind(const std::string& path);
// How many names (hard links) the file has; 1 when that cannot be told.
std::uint32_t nameCountOf(const std::string& path);

// Whether the path names a file (not a folder).
bool isFile(const std::string& path);

// Makes the folder, and the folders above it that are missing.
FileResult makeFolders(const std::string& folder);

// True when path is a file marked read-only: the read-only attribute on Windows, no write
// permission for anyone on POSIX. Such a file asks not to be replaced.
bool isReadOnlyFile(const std::string& path);
