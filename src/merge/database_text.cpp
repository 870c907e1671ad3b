#include "merge/database_text.h"

#include "base/text.h"
#include "base/text_file.h"
#include "merge/database_check.h"

#include <algorithm>

namespace {
bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), isBlank);
}
} // namespace

Result<DatabaseText> DatabaseText::read(std::string text, std::string_view fileName) {
    const DatabaseCheck check = checkDatabase(text);
    if (check.verdict != DatabaseVerdict::Mergeable)
        return Failure{refusalMessage(check, fileName)};
    DatabaseText database(std::move(text), *navFormatOf(check.version));
    const auto [mismatch, line] = database.readLines();
    if (mismatch != 0)
        return Failure{std::string(fileName) + " line " + std::to_string(mismatch) +
                       " does not have the columns of format " +
                       std::to_string(versionOf(database.format_)) +
                       ", which its version line declares: " + std::string(withoutLineEnd(line)) +
                       "; nothing was changed."};
    return database;
}

DatabaseText::DatabaseText(std::string text, NavFormat format)
    : text_(std::move(text)), format_(format) {
    if (format_ == NavFormat::V810) {
        normalizeLineEnds(text_);
    } else {
        const std::size_t firstEnd = text_.find('\n');
        if (firstEnd != std::string::npos && firstEnd > 0 && text_[firstEnd - 1] == '\r')
            lineEnd_ = "\r\n";
    }
}

std::pair<std::size_t, std::string_view> DatabaseText::readLines() {
    // Room for one row per line, so the rows are never moved while reading.
    std::size_t lines = 1;
    forEachLine(text_, [&lines](std::string_view) { ++lines; });
    rows_.reserve(lines);
    std::size_t number = 0, mismatch = 0;
    std::string_view mismatchLine;
    std::vector<TextSpan> headerRows;
    forEachLine(text_, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        ++number;
        if (code && isNavaidRowCode(*code)) {
            const NavaidRecord record = parseNavaidRow(line, format_);
            if (mismatch == 0 && !hasColumnsOf(format_, record)) {
                mismatch = number;
                mismatchLine = line;
            }
            rows_.push_back({record.type, span(record.line), span(record.callsign),
                             span(record.terminal), span(record.region), span(record.name),
                             span(record.rwyName)});
        } else if (format_ != NavFormat::V810) {
            if (number == 2)
                headerLine_ = std::string(line);
            if (code == 99)
                finalEndRow_ = otherLines_.size();
            otherLines_.push_back(span(line));
        } else if (code == kHeaderRowCode) {
            headerRows.push_back(span(line));
        } else if (!(code == 99 || isBlankLine(line) || (number == 1 && isMarkerLine(line)))) {
            otherLines_.push_back(span(line));
        }
    });
    if (!headerRows.empty()) {
        // The last header row is the frame's; earlier ones stay where they are.
        headerLine_ = std::string(textOf(headerRows.back()));
        headerRows.pop_back();
        otherLines_.insert(otherLines_.end(), headerRows.begin(), headerRows.end());
        std::sort(otherLines_.begin(), otherLines_.end(),
                  [](TextSpan a, TextSpan b) { return a.offset < b.offset; });
    }
    return {mismatch, mismatchLine};
}

DatabaseText::TextSpan DatabaseText::span(std::string_view piece) const {
    if (piece.empty())
        return TextSpan{};
    return TextSpan{static_cast<std::uint32_t>(piece.data() - text_.data()),
                    static_cast<std::uint32_t>(piece.size())};
}

std::string_view DatabaseText::textOf(TextSpan span) const {
    return std::string_view(text_).substr(span.offset, span.length);
}

NavaidRecord DatabaseText::row(std::size_t i) const {
    const PackedRow& packed = rows_[i];
    NavaidRecord record;
    record.type = packed.type;
    record.line = textOf(packed.line);
    record.callsign = textOf(packed.callsign);
    record.terminal = textOf(packed.terminal);
    record.region = textOf(packed.region);
    record.name = textOf(packed.name);
    record.rwyName = textOf(packed.rwyName);
    return record;
}
