#pragma once

#include <optional>
#include <string>
#include <utility>

// Why a file operation failed: the file, and the reason in the system's own words
// ("No such file or directory", "Access is denied."), or in the program's where it refused a
// file on its own.
struct FileError {
    std::string path;
    std::string reason;
};

// The outcome of a file operation: success, or the error that stopped it. It converts
// explicitly to bool, true on success, so `if (!readFileBytes(path, bytes))` reads as before.
class [[nodiscard]] FileResult {
  public:
    FileResult() = default; // success
    FileResult(FileError error) : error_(std::move(error)) {}

    explicit operator bool() const { return !error_; }
    // Only for a failed result.
    const FileError& error() const { return *error_; }

  private:
    std::optional<FileError> error_;
};

// The file and why it failed, as messages about a file show them: "<path>: <reason>".
inline std::string describe(const FileError& error) {
    return error.path + ": " + error.reason;
}

// The error of the system call that has just failed on path, in the system's words: from
// errno on POSIX, from GetLastError() on Windows. Call it before anything else can change them.
FileError lastSystemError(const std::string& path);
