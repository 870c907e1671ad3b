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
} // namespace

FileResult readTextFile(const std::string& path, std::string& text) {
    FileResult read = readFileBytes(path, text);
    normalizeLineEnds(text);
    return read;
}

FileResult readFileBytes(const std::string& path, std::string& bytes) {
    FileHandle file;
    if (FileResult opened = file.openForReading(path); !opened)
        return opened;
    // Read a regular file in one go into a buffer of its size, then whatever it grew by.
    bytes.resize(static_cast<std::size_t>(file.size().value_or(0)));
    if (FileResult read = readInto(file, bytes); !read)
        return read;
    char chunk[kBlockSize];
    for (;;) {
        std::size_t got = 0;
        if (FileResult read = file.read(chunk, sizeof chunk, got); !read)
            return read;
        if (got == 0)
            return {};
        bytes.append(chunk, got);
    }
}

FileResult readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    FileHandle file;
    if (FileResult opened = file.openForReading(path); !opened)
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
