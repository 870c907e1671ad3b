#include "base/atomic_file_writer.h"

#include "base/file_ops.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
} // namespace

std::string temporaryPathFor(const std::string& target, std::string_view suffix) {
    // Creating a file of that name fails, rather than taking over another's, should the name
    // be in use all the same.
    static const std::uint64_t gProcessTag = [] {
        std::random_device random;
        return static_cast<std::uint64_t>(random()) << 32 | random();
    }();
    static std::atomic<std::uint64_t> gNames{0};
    return target + "." + std::to_string(gProcessTag) + "." + std::to_string(gNames++) +
           std::string(suffix);
}

AtomicFileWriter::AtomicFileWriter(std::string target, LineFeeds lineFeeds)
    : target_(std::move(target)), temporary_(temporaryPathFor(target_)), lineFeeds_(lineFeeds),
      buffer_(kBlockSize) {
    note(file_.createNew(temporary_));
    temporaryExists_ = static_cast<bool>(status_);
}

AtomicFileWriter::~AtomicFileWriter() {
    removeTemporaryFile();
}

void AtomicFileWriter::write(std::string_view text) {
    if (!status_ || finished_)
        return;
    if (lineFeeds_ == LineFeeds::AsGiven) {
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

FileResult AtomicFileWriter::finishWriting() {
    if (finished_)
        return status_;
    finished_ = true;
    writeBuffer();
    if (status_)
        note(file_.flushToDisk());
    note(file_.close());
    return status_;
}

FileResult AtomicFileWriter::commit() {
    static_cast<void>(finishWriting());
    if (status_)
        note(replaceFile(temporary_, target_));
    if (status_)
        temporaryExists_ = false;
    removeTemporaryFile();
    return status_;
}

void AtomicFileWriter::put(const char* data, std::size_t size) {
    if (buffered_ + size > buffer_.size()) {
        writeBuffer();
        if (size >= buffer_.size()) {
            // A long piece goes to the file as it is, not through the buffer.
            if (status_)
                note(file_.write(data, size));
            return;
        }
    }
    std::memcpy(buffer_.data() + buffered_, data, size);
    buffered_ += size;
}

void AtomicFileWriter::writeBuffer() {
    if (buffered_ > 0 && status_)
        note(file_.write(buffer_.data(), buffered_));
    buffered_ = 0;
}

void AtomicFileWriter::note(FileResult result) {
    if (!status_ || result)
        return;
    // The temporary file is the writer's own affair: the user hears of the target.
    FileError error = result.error();
    if (error.path == temporary_)
        error.path = target_;
    status_ = std::move(error);
}

void AtomicFileWriter::removeTemporaryFile() {
    if (!temporaryExists_)
        return;
    static_cast<void>(file_.close());
    std::remove(temporary_.c_str());
    temporaryExists_ = false;
}
