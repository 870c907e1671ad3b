#include "base/file_ops.h"

#include "base/atomic_file_writer.h"
#include "base/file_handle.h"

#include <cstdint>
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
