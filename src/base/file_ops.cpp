#include "base/file_ops.h"

#include "base/file_handle.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

// Writes the rest of source into copy and flushes it to disk. True when the copy then holds
// exactly `size` bytes.
bool writeCopy(FileHandle& source, std::uint64_t size, FileHandle& copy) {
    std::vector<char> block(kBlockSize);
    std::uint64_t copied = 0;
    for (;;) {
        const std::optional<std::size_t> got = source.read(block.data(), block.size());
        if (!got)
            return false;
        if (*got == 0)
            break;
        if (!copy.write(block.data(), *got))
            return false;
        copied += *got;
    }
    return copied == size && copy.size() == size && copy.flushToDisk();
}

} // namespace

bool copyFile(const std::string& from, const std::string& to) {
    FileHandle source;
    if (!source.openForReading(from))
        return false;
    const std::optional<std::uint64_t> size = source.size();
    if (!size)
        return false;
    const std::string temporary = to + ".new";
    FileHandle copy;
    if (!copy.create(temporary))
        return false;
    const bool written = writeCopy(source, *size, copy);
    if (copy.close() && written && replaceFile(temporary, to))
        return true;
    std::remove(temporary.c_str());
    return false;
}
