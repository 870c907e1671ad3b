#pragma once

#include <filesystem>
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
