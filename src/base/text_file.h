#pragma once

#include "base/file_handle.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text files as the program sees them on every platform: CR LF, LF and a lone CR each end a
// line and are read as one line feed, a UTF-8 byte-order mark at the start is skipped, and
// every line feed is written as CR LF. All other bytes pass unchanged.

// Reads the whole file, its line ends turned into line feeds and a leading UTF-8 byte-order
// mark dropped. False when it cannot be opened or read.
bool readTextFile(const std::string& path, std::string& text);

// Reads the whole file as it is on disk. False when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes);

// Reads at most maxBytes from the start of the file, as they are on disk. False when it
// cannot be opened or read.
bool readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Turns the line ends of text read with readFileBytes into line feeds and drops a leading
// UTF-8 byte-order mark, as readTextFile does.
void normalizeLineEnds(std::string& text);

// The line without the line feeds and carriage returns at its end.
inline std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

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

// Writes a new file (an existing one is truncated), turning each line feed into CR LF, or
// writing every byte as it is given. Writes are gathered into large blocks. close() flushes
// the file to disk and tells whether every write, the flush and the close succeeded; a writer
// destroyed while open still writes what it was given.
class TextFileWriter {
  public:
    enum class LineFeeds { ToCrLf, AsGiven };

    TextFileWriter() = default;
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;
    ~TextFileWriter();

    bool open(const std::string& path, LineFeeds lineFeeds = LineFeeds::ToCrLf);
    void write(std::string_view text);
    bool close();

  private:
    void put(const char* data, std::size_t size);
    void flush();

    FileHandle file_;
    bool failed_ = false;
    bool toCrLf_ = true;
    std::vector<char> buffer_; // converted text not yet handed to the stream
    std::size_t buffered_ = 0;
};
