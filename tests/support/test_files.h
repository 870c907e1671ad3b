#pragma once

// Scratch folders and whole files as bytes, for tests and benchmarks, natively and on
// Windows. Paths are plain strings in the platform's form, as the program's own are.

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path, without a separator at the end.
    const std::string& path() const { return path_; }
    // path() + the platform's separator + relative (relative may use either separator on
    // Windows).
    std::string file(const std::string& relative) const;
    // Creates the folder and any missing parents; returns its path.
    std::string makeFolder(const std::string& relative) const;
    // Writes bytes as writeBytes does; returns the file's path.
    std::string writeFile(const std::string& relative, const std::string& bytes) const;

  private:
    std::string path_;
};

// Writes the bytes as they are (no line-end translation), replacing the file and creating
// missing parent folders. Throws std::runtime_error when the file cannot be written.
void writeBytes(const std::string& path, const std::string& bytes);
// The whole file as bytes. Throws std::runtime_error when it cannot be read.
std::string readBytes(const std::string& path);
// True when a file or folder of that path exists.
bool fileExists(const std::string& path);

// Turns every "\n" of text into "\r\n", as files written on Windows have them.
std::string crlf(const std::string& text);

// A file's bytes; a test failure shows their size and their start only.
struct FileBytes {
    FileBytes(std::string text) : bytes(std::move(text)) {}
    FileBytes(const char* text) : bytes(text) {}
    bool operator==(const FileBytes& other) const { return bytes == other.bytes; }
    std::string bytes;
};
void PrintTo(const FileBytes& file, std::ostream* out);

// Everything below a folder: each file's bytes and each folder as "<folder>", by path
// relative to it (with '/').
using FolderContents = std::map<std::string, FileBytes>;
FolderContents folderContents(const std::filesystem::path& folder);
// The names of the files and folders directly in a folder, sorted: what a failed or finished
// write leaves beside its target.
std::vector<std::string> entryNames(const std::filesystem::path& folder);

// What the system says, in its own words, when a file to read is not there, and when a file
// cannot be written because a folder of its name is in the way.
std::string missingFileReason();
std::string folderInTheWayReason();

// A file's read-only state: no write permission on POSIX, the read-only attribute on Windows.
void setReadOnly(const std::string& path, bool readOnly);
bool isReadOnly(const std::string& path);
