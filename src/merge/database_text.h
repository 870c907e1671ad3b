#pragma once

#include "base/result.h"
#include "merge/nav_data.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The database as a merge reads it: its text, its format, its navaid rows and the lines that
// stay where they are whatever the merge decides.
//
// The text is kept as it is on disk, but for an 810 database, whose line ends are read as line
// feeds: an 810 database is written anew in its frame, later formats byte for byte. In 810 the
// frame's own lines (the marker line, the last header row, blank lines and "99" rows) give way
// to the frame the merge writes; every other line that is no navaid row stays in its place.
class DatabaseText {
  public:
    // Rows and lines are found by 32-bit positions in the text.
    static constexpr std::uint64_t kLargestText = 0xFFFFFFFFu;

    // Reads the text of the database named fileName. A failure, with the message that says
    // what the file holds, when it is no database the merge can rewrite: one that is empty,
    // UTF-16, holds NUL bytes, has no version line or one of an unknown format, or has a navaid
    // row without the columns of its format.
    static Result<DatabaseText> read(std::string text, std::string_view fileName);

    NavFormat format() const { return format_; }
    const std::string& text() const { return text_; }
    // The line end of the first line; new rows of 1100 and later take it.
    std::string_view lineEnd() const { return lineEnd_; }
    // 810: the frame's header row; later formats: the version line.
    const std::string& headerLine() const { return headerLine_; }

    std::size_t rowCount() const { return rows_.size(); }
    // Navaid row i in file order, read in the database's format.
    NavaidRecord row(std::size_t i) const;
    std::string_view rowLine(std::size_t i) const { return textOf(rows_[i].line); }

    // Calls onRow(i) for each navaid row and onOther(line, isFinalEnd) for each other line that
    // stays, in file order. isFinalEnd marks the last "99" row of 1100 and later, before which
    // new rows go.
    template <typename OnRow, typename OnOther>
    void forEachLineInFileOrder(OnRow&& onRow, OnOther&& onOther) const {
        std::size_t row = 0, other = 0;
        while (row < rows_.size() || other < otherLines_.size()) {
            if (other == otherLines_.size() ||
                (row < rows_.size() && rows_[row].line.offset < otherLines_[other].offset)) {
                onRow(row++);
                continue;
            }
            onOther(textOf(otherLines_[other]), other == finalEndRow_);
            ++other;
        }
    }
    // Whether the text has a final "99" row (1100 and later).
    bool hasFinalEndRow() const { return finalEndRow_ != kNone; }

  private:
    // A piece of the text, by position.
    struct TextSpan {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    // A navaid row as kept: its words found in the text.
    struct PackedRow {
        std::int32_t type;
        TextSpan line, callsign, terminal, region, name, rwyName;
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    DatabaseText(std::string text, NavFormat format);
    // The line number and line of the first navaid row without its format's columns; 0 when
    // there is none.
    std::pair<std::size_t, std::string_view> readLines();
    TextSpan span(std::string_view piece) const;
    std::string_view textOf(TextSpan span) const;

    std::string text_;
    NavFormat format_;
    std::string_view lineEnd_ = "\n";
    std::string headerLine_;
    std::vector<PackedRow> rows_;
    std::vector<TextSpan> otherLines_;
    std::size_t finalEndRow_ = kNone; // an index into otherLines_
};
