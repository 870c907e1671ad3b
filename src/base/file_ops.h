#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

// Copying and replacing files so that a target is always either its old self or the whole
// new file, even after a failure or a power loss.

// Copies a file over `to`: the copy is written beside it as `to` + ".new", an ordinary
// writable file, flushed to disk, checked to be as long as the source, then swapped in.
// False on any failure, leaving `to` as it was and no temporary file behind.
bool copyFile(const std::string& from, const std::string& to);

// Puts the finished file `replacement` in the place of `target` in one atomic step,
// replacing it, and makes the change itself reach the disk. The caller flushes the
// replacement's data first. False on failure, leaving target as it was.
bool replaceFile(const std::string& replacement, const std::string& target);

// True when path is a file marked read-only: the read-only attribute on Windows, no write
// permission for anyone on POSIX. Such a file asks not to be replaced.
bool isReadOnlyFile(const std::string& path);

// The size of an open file when it is a regular file.
std::optional<std::size_t> regularFileSize(std::FILE* file);
