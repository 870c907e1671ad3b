#include "base/text_file.h"

#include "base/file_ops.h"
#include "base/text.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
} // namespace

bool readTextFile(const std::string& path, std::string& text) {
    const bool ok = readFileBytes(path, text);
    normalizeLineEnds(text);
    return ok;
}

bool readFileBytes(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    // Read a regular file in one go into a buffer of its size, then whatever it grew by.
    bytes.resize(regularFileSize(file).value_or(0));
    std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    bytes.resize(got);
    if (std::ferror(file) == 0) {
        char chunk[kBlockSize];
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.append(chunk, got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    bytes.resize(maxBytes);
    bytes.resize(std::fread(bytes.data(), 1, maxBytes, file));
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
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

TextFileWriter::~TextFileWriter() {
    if (file_.isOpen())
        close();
}

bool TextFileWriter::open(const std::string& path, LineFeeds lineFeeds) {
    failed_ = !file_.create(path);
    toCrLf_ = lineFeeds == LineFeeds::ToCrLf;
    buffer_.resize(kBlockSize);
    buffered_ = 0;
    return !failed_;
}

void TextFileWriter::write(std::string_view text) {
    if (!file_.isOpen())
        return;
    if (!toCrLf_) {
        put(text.data(), text.size());
        return;
    }
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at != end) {
        const auto* lineFeed = static_cast<const char*>(std::memchr(at, '\n', end - at));
        put(at, (lineFeed != nullptr ? lineFeed : end) - at);
        if (lineFeed == nullptr)
            break;
        put("\r\n", 2);
        at = lineFeed + 1;
    }
}

void TextFileWriter::put(const char* data, std::size_t size) {
    if (buffered_ + size > buffer_.size()) {
        flush();
        if (size >= buffer_.size()) {
            // A long piece goes to the file as it is, not through the buffer.
            if (!file_.write(data, size))
                failed_ = true;
            return;
        }
    }
    std::memcpy(buffer_.data() + buffered_, data, size);
    buffered_ += size;
}

void TextFileWriter::flush() {
    if (buffered_ > 0 && !file_.write(buffer_.data(), buffered_))
        failed_ = true;
    buffered_ = 0;
}

bool TextFileWriter::close() {
    if (!file_.isOpen())
        return false;
    flush();
    if (!file_.flushToDisk())
        failed_ = true;
    if (!file_.close())
        failed_ = true;
    return !failed_;
}
