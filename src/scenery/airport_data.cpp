#include "scenery/airport_data.h"

#include "base/file_handle.h"
#include "base/text.h"

#include <cstring>
#include <vector>

namespace {
constexpr std::size_t kPieceSize = 1 << 20;
} // namespace

FileResult AirportData::read(const std::string& path,
                             const std::function<void(std::uint64_t, std::uint64_t)>& onProgress) {
    FileHandle file;
    if (FileResult opened = file.openForReading(path); !opened)
        return opened;
    const std::optional<std::uint64_t> regular = file.size();
    if (!regular)
        return FileError{path, "it is not a regular file"};
    const std::uint64_t size = *regular;
    if (onProgress)
        onProgress(0, size);
    // Each piece is read after the unfinished line that ended the one before.
    std::vector<char> buffer(kPieceSize);
    std::size_t kept = 0;
    std::uint64_t done = 0;
    for (;;) {
        if (kept == buffer.size())
            buffer.resize(buffer.size() * 2); // a line longer than a piece
        std::size_t got = 0;
        if (FileResult read = file.read(buffer.data() + kept, buffer.size() - kept, got); !read)
            return read;
        done += got;
        const char* start = buffer.data();
        const char* const end = buffer.data() + kept + got;
        for (;;) {
            const char* lineEnd = static_cast<const char*>(
                std::memchr(start, '\n', static_cast<std::size_t>(end - start)));
            if (!lineEnd)
                break;
            readLine(std::string_view(start, static_cast<std::size_t>(lineEnd - start)));
            start = lineEnd + 1;
        }
        kept = static_cast<std::size_t>(end - start);
        if (got == 0) {
            readLine(std::string_view(start, kept));
            break;
        }
        std::memmove(buffer.data(), start, kept);
        if (onProgress)
            onProgress(done, size);
    }
    current_ = currentByIcao_ = nullptr;
    return {};
}

void AirportData::readLine(std::string_view line) {
    // Most rows are of runways, taxiways and the like: the first characters tell them apart.
    if (line.size() < 3 || line[0] != '1')
        return;
    const bool airport =
        isBlank(line[1]) || ((line[1] == '6' || line[1] == '7') && isBlank(line[2]));
    if (airport) {
        std::size_t at = 0;
        nextWord(line, at); // the row code
        for (int unused = 0; unused < 3; ++unused)
            nextWord(line, at); // elevation and two unused columns
        const std::string_view code = nextWord(line, at);
        current_ = currentByIcao_ = nullptr;
        if (code.empty())
            return;
        currentCode_ = upperCased(code);
        AirportFacts& facts = airports_[currentCode_];
        facts = {std::string(trimmed(line.substr(at))), {}};
        current_ = &facts;
        return;
    }
    if (!current_ || line.compare(0, 5, "1302 ") != 0)
        return;
    std::size_t at = 5;
    const std::string_view key = nextWord(line, at);
    const std::string_view value = nextWord(line, at);
    if (key == "region_code" && !value.empty()) {
        current_->region = std::string(value);
        if (currentByIcao_)
            currentByIcao_->region = std::string(value);
    } else if (key == "icao_code" && !value.empty() && !equalsIgnoringCase(value, currentCode_)) {
        // Known by its ICAO code too.
        currentByIcao_ = &(airports_[upperCased(value)] = *current_);
    }
}

const AirportFacts* AirportData::find(std::string_view icao) const {
    const auto found = airports_.find(upperCased(icao));
    return found == airports_.end() ? nullptr : &found->second;
}
