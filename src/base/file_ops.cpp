#include "base/file_ops.h"

#include "base/atomic_file_writer.h"
#include "base/file_handle.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {
constexpr std::size_t kBlockSize = 1 << 16;

FileResult copyInto(const std::string& from, const std::string& to,
                    std::unique_ptr<AtomicFileWriter>& file) {
    FileHandle source;
    if (FileResult opened = source.openForReading(from); !opened)
        return opened;
    // Only a regular file has a size to check the copy against (and an end).
    const std::optional<std::uint64_t> size = source.size();
    if (!size)
        return FileError{from, "not a regular file"};
    file = std::make_unique<AtomicFileWriter>(to, AtomicFileWriter::LineFeeds::AsGiven);
    AtomicFileWriter& copy = *file;
    std::vector<char> block(kBlockSize);
    std::uint64_t copied = 0;
    for (;;) {
        std::size_t got = 0;
        if (FileResult read = source.read(block.data(), block.size(), got); !read)
            return read;
        if (got == 0)
            break;
        copy.write(std::string_view(block.data(), got));
        copied += got;
    }
    if (copied != *size)
        return FileError{from, "its size changed while it was copied"};
    return copy.finishWriting();
}
} // namespace

FileResult copyFile(const std::string& from, const std::string& to) {
    return writeCopy(from, to).commit();
}

PendingCopy writeCopy(const std::string& from, const std::string& to) {
    PendingCopy pending;
    pending.written = copyInto(from, to, pending.file);
    return pending;
}

FileKeptAside::~FileKeptAside() {
    if (!kept_.empty())
        std::remove(kept_.c_str());
}

FileResult FileKeptAside::keep(const std::string& path) {
    path_ = path;
    active_ = true;
    if (!isFile(path))
        return {};
    const std::string kept = temporaryPathFor(path, ".kept");
    if (!linkFile(path, kept)) {
        if (FileResult moved = replaceFile(path, kept); !moved)
            return FileError{path, moved.error().reason};
    }
    kept_ = kept;
    return {};
}

FileResult FileKeptAside::putBack() {
    if (!active_)
        return {};
    active_ = false;
    if (kept_.empty()) {
        if (isFile(path_) && std::remove(path_.c_str()) != 0)
            return lastSystemError(path_);
        return {};
    }
    FileResult putBack = replaceFile(kept_, path_);
    if (putBack) {
        // A rename between two names of one file does nothing: the kept name goes as well.
        std::remove(kept_.c_str());
        kept_.clear();
    }
    return putBack;
}
