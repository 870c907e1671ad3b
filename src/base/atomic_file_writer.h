#pragma once

#include "base/file_error.h"
#include "base/file_handle.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A name beside target that no other writer uses: target, a random tag drawn once for this
// process, a count of this process's names, then the suffix (".tmp" for a file being written).
std::string temporaryPathFor(const std::string& target, std::string_view suffix = ".tmp");

// Writes a file that is never seen half-written. The text goes to a new temporary file beside
// the target, under a name no other writer uses, so that commit() can put it in the target's
// place with one rename. Until then the target is untouched; a writer whose commit fails, or
// that is destroyed uncommitted, removes its temporary file. Writes are gathered into large
// blocks; after the first failure nothing more is written, and commit() reports that failure.
class AtomicFileWriter {
  public:
    // ToCrLf writes each line feed as CR LF; AsGiven writes every byte as it is.
    enum class LineFeeds { ToCrLf, AsGiven };

    // Creates the temporary file.
    explicit AtomicFileWriter(std::string target, LineFeeds lineFeeds = LineFeeds::ToCrLf);
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    void write(std::string_view text);
    // Writes out what is gathered, flushes the file to disk and closes it: all of commit() but
    // the swap, for a caller that swaps the file in later. Nothing can be written after it.
    FileResult finishWriting();
    // Finishes writing, unless that was done, and replaces the target with the file. Called
    // once; an error names the target, whichever step failed.
    FileResult commit();

  private:
    void put(const char* data, std::size_t size);
    void writeBuffer();
    // Keeps the first failure, told of the target when it was the temporary file's.
    void note(FileResult result);
    void removeTemporaryFile();

    std::string target_;
    std::string temporary_;
    LineFeeds lineFeeds_;
    FileHandle file_;
    FileResult status_;
    bool temporaryExists_ = false;
    bool finished_ = false;
    std::vector<char> buffer_; // text not yet handed to the file
    std::size_t buffered_ = 0;
};
