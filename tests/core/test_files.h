#pragma once

#include <filesystem>
#include <map>
#include <ostream>
#include <string>

// A fresh directory that is removed with everything in it at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& relative) const { return (path_ / relative).string(); }

  private:
    std::filesystem::path path_;
};

// Whole files as bytes, no line-end translation.
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);

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

// A file's read-only state: no write permission on POSIX, the read-only attribute on Windows.
void setReadOnly(const std::string& path, bool readOnly);
bool isReadOnly(const std::string& path);
