#pragma once

#include "base/atomic_file_writer.h"
#include "base/file_error.h"

#include <memory>
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

// Whether the path names a file (not a folder).
bool isFile(const std::string& path);

// Makes the folder, and the folders above it that are missing.
FileResult makeFolders(const std::string& folder);

// True when path is a file marked read-only: the read-only attribute on Windows, no write
// permission for anyone on POSIX. Such a file asks not to be replaced.
bool isReadOnlyFile(const std::string& path);
