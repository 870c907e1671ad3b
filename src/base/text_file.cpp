#include "base/text_file.h"

#include "base/file_handle.h"
#include "base/text.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace {
constexpr std::size_t kBlockSize = 1 << 16;

// Fills bytes from the file until it is full or the file ends; bytes keeps what was read.
FileResult readInto(FileHandle& file, std::string& bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        std::size_t got = 0;
        FileResult read = file.read(bytes.data() + filled, bytes.size() - filled, got);
        if (!read || got == 0) {
            bytes.resize(filled);
            return read;
        }
        filled += got;
    }
    return {};
}
// Opens a regular file for reading; its size, when it has no more than `largest` bytes.
FileResult openRegularFile(FileHandle& file, const std::string& path, std::uint64_t largest,
                           std::uint64_t& size) {
    if (FileResult opened = file.openForReading(path); !opened)
        return opened;
    const std::optional<std::uint64_t> known = file.size();
    if (!known)
        return FileError{path, "it is not a regular file"};
    if (*known > largest)
        return tooLarge(path, largest);
    size = *known;
    return {};
}
} // namespace

FileError tooLarge(const std::string& path, std::uint64_t largest) {
    return FileError{path, "it is larger than " + std::to_string(largest >> 20) + " MB"};
}

FileResult readTextFile(const std::string& path, std::string& text, std::uint64_t largest) {
    FileResult read = readFileBytes(path, text, largest);
    normalizeLineEnds(text);
    return read;
}

FileResult readFileBytes(const std::string& path, std::string& bytes, std::uint64_t largest) {
    FileHandle file;
    std::uint64_t size = 0;
    if (FileResult opened = openRegularFile(file, path, largest, size); !opened)
        return opened;
    // Read in one go into a buffer of its size, then whatever it grew by, up to the limit.
    bytes.resize(static_cast<std::size_t>(size));
    if (FileResult read = readInto(file, bytes); !read)
        return read;
    char chunk[kBlockSize];
    for (;;) {
        std::size_t got = 0;
        if (FileResult read = file.read(chunk, sizeof chunk, got); !read)
            return read;
        if (got == 0)
            return {};
        if (bytes.size() + got > largest)
            return tooLarge(path, largest);
        bytes.append(chunk, got);
    }
}

FileResult readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    FileHandle file;
    std::uint64_t size = 0;
    if (FileResult opened = openRegularFile(file, path, kAnySize, size); !opened)
        return opened;
    bytes.resize(maxBytes);
    return readInto(file, bytes);
}

void normalizeLineEnds(std::string& text) {
    char* const begin = text.data();
    char* const end = begin + text.size();
    char* in = begin + (startsWithByteOrderMark(text) ? kUtf8ByteOrderMark.size() : 0);
    char* out = begin;
    while (in != end) {
        char* const carriageReturn = static_cast<char*>(std::memchr(in, '\r', end - in));
        char* const next = carriageReturn != nullptr ? carriageReturn : end;
        if (out != in)
            std::memmove(out, in, next - in);
        out += next - in;
        if (carriageReturn == nullptr)
            break;
        *out++ = '\n';
        in = carriageReturn + 1;
        if (in != end && *in == '\n')
            ++in;
    }
    text.resize(out - begin);
}
