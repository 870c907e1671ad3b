#include "test_files.h"

#include "base/file_error.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif
#include <sys/stat.h>

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

} // namespace

TempDir::TempDir() {
    // Test programs run side by side: a name already taken is passed over.
    static std::atomic<int> counter{0};
    const std::string base = (fs::temp_directory_path() / "quillet-test-").string();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
        path_ = base + std::to_string(stamp) + "-" + std::to_string(counter++);
    } while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& relative) const {
    return path_ + kSeparator + relative;
}

std::string TempDir::makeFolder(const std::string& relative) const {
    const std::string folder = file(relative);
    fs::create_directories(folder);
    return folder;
}

std::string TempDir::writeFile(const std::string& relative, const std::string& bytes) const {
    const std::string path = file(relative);
    writeBytes(path, bytes);
    return path;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
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
            relative, entry.is_directory() ? "<folder>" : readBytes(entry.path().string()));
    }
    return contents;
}

std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void setReadOnly(const std::string& path, bool readOnly) {
    if (readOnly)
        fs::permissions(path,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    else
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
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
