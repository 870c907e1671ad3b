#pragma once

#include "base/file_error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text files as the program sees them on every platform: CR LF, LF and a lone CR each end a
// line and are read as one line feed, and a UTF-8 byte-order mark at the start is skipped.
// All other bytes pass unchanged. (An AtomicFileWriter writes them, each line feed as CR LF.)

// Only regular files are read: a FIFO, a device or a folder is refused without waiting for it,
// and so is a file of more than `largest` bytes.
inline constexpr std::uint64_t kAnySize = ~std::uint64_t{0};

// Reads the whole file, its line ends turned into line feeds and a leading UTF-8 byte-order
// mark dropped. The error tells when it cannot be opened or read.
FileResult readTextFile(const std::string& path, std::string& text,
                        std::uint64_t largest = kAnySize);

// Reads the whole file as it is on disk.
FileResult readFileBytes(const std::string& path, std::string& bytes,
                         std::uint64_t largest = kAnySize);

// The error of a file of more than `largest` bytes.
FileError tooLarge(const std::string& path, std::uint64_t largest);

// Reads at most maxBytes from the start of the file, as they are on disk.
FileResult readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Turns the line ends of text read with readFileBytes into line feeds and drops a leading
// UTF-8 byte-order mark, as readTextFile does.
void normalizeLineEnds(std::string& text);

// Calls onLine for every line of text, its line feed included; the last line may lack one.
// A line longer than maxPiece arrives in pieces of maxPiece characters, as a fixed-size
// line buffer would read it.
template <typename OnLine>
void forEachLinePiece(std::string_view text, std::size_t maxPiece, OnLine&& onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        std::size_t lineEnd = end == std::string_view::npos ? text.size() : end + 1;
        if (lineEnd - start > maxPiece)
            lineEnd = start + maxPiece;
        onLine(text.substr(start, lineEnd - start));
        start = lineEnd;
    }
}

template <typename OnLine> void forEachLine(std::string_view text, OnLine&& onLine) {
    forEachLinePiece(text, std::string_view::npos, onLine);
}
