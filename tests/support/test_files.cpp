#include "test_files.h"

#include "base/file_error.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

// Paths are UTF-8 strings, as the program's own are; std::filesystem reads a narrow string on
// Windows in a code page of its own.
fs::path pathOf(const std::string& utf8) {
    return fs::u8path(utf8);
}

} // namespace

TempDir::TempDir() {
    // Test programs run side by side: a name already taken is passed over.
    static std::atomic<int> counter{0};
    const std::string base = (fs::temp_directory_path() / "quillet-test-").u8string();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
        path_ = base + std::to_string(stamp) + "-" + std::to_string(counter++);
    } while (!fs::create_directory(pathOf(path_)));
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(pathOf(path_), ignored);
}

std::string TempDir::file(const std::string& relative) const {
    return path_ + kSeparator + relative;
}

std::string TempDir::makeFolder(const std::string& relative) const {
    const std::string folder = file(relative);
    fs::create_directories(pathOf(folder));
    return folder;
}

std::string TempDir::writeFile(const std::string& relative, const std::string& bytes) const {
    const std::string path = file(relative);
    writeBytes(path, bytes);
    return path;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    fs::create_directories(pathOf(path).parent_path());
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string& path) {
    std::error_code unknown;
    return fs::exists(pathOf(path), unknown);
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void PrintTo(const FileBytes& file, std::ostream* out) {
    constexpr std::size_t kShown = 40;
    *out << file.bytes.size()
         << " bytes: " << ::testing::PrintToString(file.bytes.substr(0, kShown))
         << (file.bytes.size() > kShown ? "..." : "");
}

FolderContents folderContents(const fs::path& folder) {
    FolderContents contents;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = entry.path().lexically_relative(folder).generic_string();
        contents.insert_or_assign(
            relative, entry.is_directory() ? "<folder>" : readBytes(entry.path().u8string()));
    }
    return contents;
}

std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

void setReadOnly(const std::string& path, bool readOnly) {
    if (readOnly)
        fs::permissions(pathOf(path),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    else
        fs::permissions(pathOf(path), fs::perms::owner_write, fs::perm_options::add);
}

bool isReadOnly(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

#ifdef _WIN32
std::string missingFileReason() {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return lastSystemError("").reason;
}
std::string folderInTheWayReason() {
    SetLastError(ERROR_ACCESS_DENIED);
    return lastSystemError("").reason;
}
#else
std::string missingFileReason() {
    errno = ENOENT;
    return lastSystemError("").reason;
}
std::string folderInTheWayReason() {
    errno = EISDIR;
    return lastSystemError("").reason;
}
#endif
